// The RTF of the designer's two text boxes: what the formatting bar wrote, or what another word
// processor wrote and the person pasted or loaded.
#include "FuzzSupport.h"

#include "layout/RtfCodec.h"

#include <QTextDocument>

KORVANTE_FUZZ_TARGET(rtf_text_box) {
    FuzzSupport::ensureApplication();
    const QByteArray rtf = FuzzSupport::bytes(data, size);
    QTextDocument document;
    RtfCodec::read(rtf, document);
    // What the box shows is what is stored: written and read again, the text and its formatting stay.
    const QByteArray written = RtfCodec::write(document);
    FUZZ_CHECK(RtfCodec::looksLikeRtf(written), QString::fromLatin1(written.left(40)));
    QTextDocument reread;
    RtfCodec::read(written, reread);
    FUZZ_CHECK(reread.toPlainText() == document.toPlainText(),
               document.toPlainText().left(80) + QStringLiteral(" | ") + reread.toPlainText().left(80));
    // Pieces of equal formatting may merge on the way, so the bytes settle after one more round.
    const QByteArray settled = RtfCodec::write(reread);
    QTextDocument third;
    RtfCodec::read(settled, third);
    FUZZ_CHECK(third.toPlainText() == document.toPlainText(), third.toPlainText().left(80));
    FUZZ_CHECK(RtfCodec::write(third) == settled, QString::fromLatin1(settled.left(200)));
    return 0;
}
