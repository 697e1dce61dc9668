#include "platform/WidgetApplicationSetup.h"

#include "platform/Portuguese.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QProxyStyle>
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
// corner. Every dialog with an owner opens centred over the owner's window.
class CentreDialogs : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto *dialog = qobject_cast<QDialog *>(watched);
            if (dialog && dialog->isWindow() && dialog->parentWidget() &&
                !dialog->property("korvantePlaced").toBool()) {
                dialog->setProperty("korvantePlaced", true);
                const QWidget *owner = dialog->parentWidget()->window();
                const QPoint client =
                    owner->geometry().center() - QPoint(dialog->width() / 2, dialog->height() / 2);
                // move() places the frame: the client area lies one frame margin further in.
                const QPoint margin = dialog->geometry().topLeft() - dialog->pos();
                dialog->move(client - margin);
            }
        }
        return false;
    }
};

} // namespace

void setUpApplication(QApplication &app) {
    QApplication::setApplicationName(QStringLiteral("KORVANTE"));
    // No display name: the toolkit would append it to every window title.
    installPortuguese(app);
    QApplication::setStyle(new ListBelowStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    app.installEventFilter(new CentreDialogs(&app));
}
