// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QAccessibleWidget>

namespace MyQtCustom {

// What a screen reader sees of the kit's buttons, which are labels and plain
// widgets underneath: a button, named by its text unless named apart, that
// its press action clicks.
class ButtonAccessible : public QAccessibleWidget
{
public:
    // Implemented by every button of the kit: one click, as a mouse or key gives.
    class Pressable
    {
    public:
        virtual ~Pressable() = default;
        virtual void press() = 0;
    };

    explicit ButtonAccessible(QWidget *button);

    // Makes the kit's buttons answer with this interface; true, so that it
    // can initialise a member of each button.
    static bool Install();

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &action) override;
    QStringList keyBindingsForAction(const QString &action) const override;
};

} // namespace MyQtCustom
