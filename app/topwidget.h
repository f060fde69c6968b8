#pragma once

#include <QWidget>

// The title bar across the top of the main window.
class TopWidget : public QWidget
{
    Q_OBJECT
public:
    explicit TopWidget(QWidget *parent = nullptr);

    void Layout();
    void UpdateSkin();
    void UpdateText();
};
