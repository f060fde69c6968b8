// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

// The display scale of the widget kit: design pixel sizes are multiplied by
// it and truncated. The main window sets it once at start-up.
extern float g_scale;

// A design size in pixels at the current display scale.
inline int ScaledPx(int designPixels)
{
    return static_cast<int>(static_cast<float>(designPixels) * g_scale);
}
