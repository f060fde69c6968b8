// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/formatconvert/voiceformatitemwidget.h"

void VoiceFormatItemWidget::ShowData()
{
    VoiceItemWidget::ShowData();
}
