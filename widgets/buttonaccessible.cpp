// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "widgets/buttonaccessible.h"

#include <QLabel>

namespace MyQtCustom {

namespace {
QAccessibleInterface *Create(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    return widget && dynamic_cast<ButtonAccessible::Pressable *>(object) ? new ButtonAccessible(widget)
                                                                         : nullptr;
}
} // namespace

ButtonAccessible::ButtonAccessible(QWidget *button) : QAccessibleWidget(button, QAccessible::Button) {}

bool ButtonAccessible::Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(Create);
        return true;
    }();
    return installed;
}

QString ButtonAccessible::text(QAccessible::Text t) const
{
    QString said = QAccessibleWidget::text(t);
    // A label button's caption is its name.
    if (said.isEmpty() && t == QAccessible::Name)
        if (const auto *label = qobject_cast<const QLabel *>(widget()))
            said = label->text();
    return said;
}

QStringList ButtonAccessible::actionNames() const
{
    return widget()->isEnabled() ? QStringList{pressAction()} : QStringList();
}

void ButtonAccessible::doAction(const QString &action)
{
    if (action == pressAction() && widget()->isEnabled())
        dynamic_cast<Pressable *>(widget())->press();
}

QStringList ButtonAccessible::keyBindingsForAction(const QString &action) const
{
    return action == pressAction() ? QStringList{QStringLiteral("Space")} : QStringList();
}

} // namespace MyQtCustom
