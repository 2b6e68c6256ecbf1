#pragma once

#include <QWidget>

// Never shown: it only carries the folder chooser's answer back to the form.
class CocoaCode : public QWidget {
    Q_OBJECT

public:
    explicit CocoaCode(QWidget *parent = nullptr);

signals:
    void folderSelected(const QString &path);
};
