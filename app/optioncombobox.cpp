// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "app/optioncombobox.h"

#include <QIcon>

#include "widgets/displayscale.h"
#include "widgets/nofocusframedelegate.h"
#include "widgets/skinhelper_qsetting.h"

OptionComboBox::OptionComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    setItemDelegate(new NoFocusFrameDelegate(this));
    setIconSize(QSize(ScaledPx(1), ScaledPx(30)));
}

void OptionComboBox::UpdateSkin()
{
    const SkinHelper_QSetting *skin = SkinHelper_QSetting::GetInstance();
    // Reached with Tab, the box shows it in the accent colour.
    setStyleSheet(skin->GetQComboBoxQSS(12, 30, 3, 1, 1, 1, 1, QStringLiteral("QComboBox")) +
                  QStringLiteral("QComboBox:focus{border-color:") +
                  skin->GetValue(QStringLiteral("Button1"), QStringLiteral("bgcolor_normal")) +
                  QStringLiteral(";}"));
}

void OptionComboBox::setEntries(const QStringList &texts)
{
    clear();
    const QIcon icon(QStringLiteral(":/images/arrowtest.png"));
    for (const QString &text : texts)
        addItem(icon, text);
    setCurrentIndex(0);
}

int OptionComboBox::MatchIndex(const QString &stored, const QStringList &choices)
{
    for (int i = 0; i < choices.size(); ++i) {
        if (stored.compare(choices.at(i), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}
