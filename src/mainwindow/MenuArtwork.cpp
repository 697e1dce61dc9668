#include "mainwindow/MenuArtwork.h"

// Outside any namespace, as the resource initialiser requires.
static void loadResources() {
    Q_INIT_RESOURCE(resources);
}

namespace MenuArtwork {

QPixmap background(Program program) {
    // The artwork is compiled into a static library: nothing pulls it in unless asked.
    static const bool loaded = (loadResources(), true);
    Q_UNUSED(loaded);
    return QPixmap(program == PrintModule ? QStringLiteral(":/menu/fundo_print.jpg")
                                          : QStringLiteral(":/menu/fundo.jpg"));
}

} // namespace MenuArtwork
