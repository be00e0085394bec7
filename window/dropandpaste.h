#pragma once

#include <QObject>

class MainWindow;
class QAction;
class QImage;
class QLabel;
class QMimeData;

// Pictures and files that arrive by the clipboard or by drag and drop, and the
// hint in the empty view that says so.
class DropAndPaste : public QObject
{
    Q_OBJECT

public:
    explicit DropAndPaste(MainWindow *window);

    QAction *pasteAction() const { return m_paste; }
    void retranslate();
    // Takes what the clipboard holds: a picture, or files copied in a file manager.
    void paste();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Gives the window a file to open or else a picture; false with neither.
    bool hand(const QString &file, const QImage &image);
    void updateHint();

    MainWindow *m_window;
    QAction *m_paste;
    QLabel *m_hint;
};

// The first local file among dropped or copied data; empty without one.
QString firstLocalFile(const QMimeData *data);
// The picture among dropped or copied data; null without one.
QImage imageOf(const QMimeData *data);
