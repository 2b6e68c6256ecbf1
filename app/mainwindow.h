#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>

class ConvertImageForm;
class QStackedLayout;

namespace Ui {
class MainWindow;
}

// The one window of the program: hosts the main form, keeps its own position and size between
// runs and holds the first close back until the work registered for it is done.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    ConvertImageForm *form() const { return convertForm; }

    // Work that has to run once before the window may close, such as removing the cached
    // thumbnails. At the first close the task gets the window, starts its dialog and returns it;
    // the dialog must end by calling OnCloseApp(). A null dialog lets the close go ahead.
    using CloseTask = std::function<QWidget *(MainWindow *window)>;
    void setFirstCloseTask(CloseTask task);

public slots:
    void OnCloseApp();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    Ui::MainWindow *ui;
    QStackedLayout *stackedLayout = nullptr;
    ConvertImageForm *convertForm = nullptr;
    CloseTask firstCloseTask;
    QPointer<QWidget> cleanupDialog;
};
