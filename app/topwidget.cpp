#include "app/topwidget.h"

TopWidget::TopWidget(QWidget *parent) : QWidget(parent) {}

void TopWidget::Layout() {}

void TopWidget::UpdateSkin() {}

void TopWidget::UpdateText() {}
