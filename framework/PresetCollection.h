#pragma once

/** The preset collection's notification interface. */
class PresetCollection
{
public:
    /** Told when a collection of presets changed; every layer of this plug-in ignores it. */
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void presetCollectionChanged() {}
    };
};
