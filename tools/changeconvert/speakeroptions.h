// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QString>

// The voice changer's choice, for the run of the program only: the model
// file of the speaker.
struct SpeakerOptions
{
    QString model = SpeakerModel(0);

    // The model file of the speaker at a list index; unknown indices give the first.
    static QString SpeakerModel(int index);
};
