#include "records/movebuttons.h"

#include "core/artwork.h"
#include "runtime/ui/windowbuilder.h"

#include <QPushButton>

namespace tbk {

MoveButtons addMoveButtons(WindowBuilder &b) {
    const auto mover = [&b](const char *name, const char *tip, const char *icon) {
        QPushButton *button = b.button({}, QString::fromLatin1(tip));
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(artworkIcon(QString::fromLatin1(icon)));
        button->setFixedWidth(button->sizeHint().height() + 8);
        return button;
    };
    MoveButtons m;
    m.up = mover("MoveUp", "Move record up one", "vsmoveup.ico");
    m.top = mover("MoveTop", "Move record to the top", "vsmoveBg.ico");
    m.down = mover("MoveDown", "Move record down one", "vsmovedn.ico");
    m.bottom = mover("MoveBottom", "Move record to the bottom", "vsmovEnd.ico");
    return m;
}

} // namespace tbk
