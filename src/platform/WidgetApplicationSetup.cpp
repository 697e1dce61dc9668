#include "platform/WidgetApplicationSetup.h"

#include "platform/Portuguese.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>
#include <QEvent>
#include <QMessageBox>
#include <QPalette>
#include <QProxyStyle>
#include <QScreen>
#include <QTimer>
#include <QStyleFactory>

namespace {

// Lists drop down under their control, whatever the style would do.
class ListBelowStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override {
        if (hint == QStyle::SH_ComboBox_Popup) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// A window manager may or may not place a new dialog; without one it would open at the screen's
// corner. Every dialog with an owner opens centred over the owner's window. A message box takes its
// final size only while, or even after, it is shown (its text wraps then, and a window manager may
// confirm the size later): a message box is centred again whenever its size changes, since a person
// cannot resize one; another dialog until the event loop has run once after the show.
class CentreDialogs : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override {
        const QEvent::Type type = event->type();
        if ((type != QEvent::Show && type != QEvent::Resize) || !watched->isWidgetType()) return false;
        auto *dialog = qobject_cast<QDialog *>(watched);
        if (!dialog || !dialog->isWindow() || !dialog->parentWidget()) return false;
        if (type == QEvent::Show && !dialog->property("korvantePlaced").toBool()) {
            dialog->setProperty("korvantePlaced", true);
            dialog->setProperty("korvanteSettling", true);
            QTimer::singleShot(0, dialog, [dialog] { dialog->setProperty("korvanteSettling", false); });
            centre(dialog);
        } else if (type == QEvent::Resize && dialog->property("korvantePlaced").toBool() &&
                   (qobject_cast<QMessageBox *>(dialog) || dialog->property("korvanteSettling").toBool())) {
            centre(dialog);
        }
        return false;
    }

private:
    static void centre(QDialog *dialog) {
        const QWidget *owner = dialog->parentWidget()->window();
        const QSize size = dialog->size();
        const QPoint client = owner->geometry().center() - QPoint(size.width() / 2, size.height() / 2);
        // move() places the frame: the client area lies one frame margin further in.
        const QPoint margin = dialog->geometry().topLeft() - dialog->pos();
        dialog->move(client - margin);
    }
};

} // namespace

void setUpApplication(QApplication &app) {
    QApplication::setApplicationName(QStringLiteral("KORVANTE"));
    // No display name: the toolkit would append it to every window title.
    installPortuguese(app);
    QApplication::setStyle(new ListBelowStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    app.installEventFilter(new CentreDialogs(&app));
    // Display-only fields are disabled and must still be read: their text stays dark enough on the
    // grey of a disabled field (contrast above 4.5:1).
    QPalette palette = QApplication::palette();
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, QColor(90, 90, 90));
    QApplication::setPalette(palette);
}

void showCentredOnScreen(QWidget *window) {
    window->adjustSize();
    if (const QScreen *screen = window->screen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
    }
    window->show();
}
