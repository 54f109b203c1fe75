#pragma once

#include "widgets/DefaultLookAndFeel.h"

/** The icons of the framework's set that the editor's tool buttons show. */
namespace EditorIcons
{
constexpr int close = DefaultLookAndFeel::closeIcon;
constexpr int moveDown = DefaultLookAndFeel::moveDownIcon;
constexpr int moveUp = DefaultLookAndFeel::moveUpIcon;
constexpr int save = 9;   // floppy disk
constexpr int open = 10;  // open folder
constexpr int copy = 11;
constexpr int paste = 12;
constexpr int add = DefaultLookAndFeel::addIcon;
constexpr int remove = DefaultLookAndFeel::deleteIcon;
} // namespace EditorIcons
