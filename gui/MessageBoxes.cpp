#include "gui/MessageBoxes.h"

#include <QGuiApplication>
#include <QMessageBox>

void MessageBoxes::Show(const QString& text, MessageIcon icon) {
    const QString platform = QGuiApplication::platformName();
    if (platform == "offscreen" || platform == "minimal") {
        fallback_.Show(text, icon);
        return;
    }
    QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Information,
                    kMessageCaption, text, QMessageBox::Ok);
    box.exec();
}
