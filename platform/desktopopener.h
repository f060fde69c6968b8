#pragma once

#include <QString>

// Shows a folder in the desktop's file manager.
class DesktopOpener
{
public:
    // The desktop's opener, started detached with the folder as its one
    // argument: no shell ever parses the path. Returns whether it started.
    static bool OpenFolder(const QString &folder);
};
