#pragma once

class GFXDisplay;

/** Hears the end of a user's edit of a GFXDisplay that changed its text. */
class GFXDisplayListener
{
public:
    virtual ~GFXDisplayListener() = default;

    virtual void displayTextChanged (GFXDisplay* display) = 0;
};
