#include "app/toolsselectwidget.h"

ToolsSelectWidget::ToolsSelectWidget(QWidget *parent) : QWidget(parent) {}

void ToolsSelectWidget::Layout() {}

void ToolsSelectWidget::UpdateSkin() {}

void ToolsSelectWidget::UpdateText() {}
