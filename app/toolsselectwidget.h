#pragma once

#include <QWidget>

// The start page: one large button per tool.
class ToolsSelectWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ToolsSelectWidget(QWidget *parent = nullptr);

    void Layout();
    void UpdateSkin();
    void UpdateText();
};
