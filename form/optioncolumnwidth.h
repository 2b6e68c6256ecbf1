#pragma once

#include <QObject>

class QTabWidget;

// Keeps the option tabs at least as wide as their widest page and their tab bar need, so that with
// large fonts or long translations no caption is cut off, no tab is hidden and no page scrolls
// sideways. At the standard font the pages fit the width the column starts with. GUI thread only.
class OptionColumnWidth : public QObject {
    Q_OBJECT

public:
    OptionColumnWidth(QTabWidget *tabs, int startWidth);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void update();

    QTabWidget *tabs;
    int startWidth;
};
