#pragma once

#include <QLabel>

// The live preview on the main form: a fixed-size, boxed label with a fit-to-size picture in its
// top-right corner while it shows an image; a click there or a double-click opens the full preview.
class ConvertImagePreviewLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ConvertImagePreviewLabel(QWidget *parent = nullptr);

    bool fitIconVisible = false;

    void showPixmap(const QPixmap &pixmap);

Q_SIGNALS:
    void mouseDoubleClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
