#pragma once

#include "widgets/DefaultLookAndFeel.h"

/** The icons of the framework's set that the editor's tool buttons show. */
namespace EditorIcons
{
constexpr int close = DefaultLookAndFeel::closeIcon;
constexpr int copy = DefaultLookAndFeel::copyIcon;
constexpr int paste = DefaultLookAndFeel::pasteIcon;
constexpr int deleteEntry = DefaultLookAndFeel::deleteEntryIcon;
constexpr int moveDown = DefaultLookAndFeel::moveDownIcon;
constexpr int moveUp = DefaultLookAndFeel::moveUpIcon;
constexpr int add = DefaultLookAndFeel::addIcon;
constexpr int remove = DefaultLookAndFeel::deleteIcon;
constexpr int clearAll = DefaultLookAndFeel::clearAllIcon;
constexpr int open = DefaultLookAndFeel::openIcon;
constexpr int save = DefaultLookAndFeel::saveIcon;
} // namespace EditorIcons
