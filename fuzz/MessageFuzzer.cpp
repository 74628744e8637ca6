// A catalogue text filled by FormataMensagem and shown by the message box: the
// placeholders, the line breaking and the colour markers. The input is a count
// byte, then the description and up to five parameters, each ended by a NUL.

#include "Fuzz.h"
#include "messages/FormataMensagem.h"
#include "messages/MessageBoxLayout.h"

using messages::MessageBoxLayout;

namespace {

// The text as FormataMensagem promises it: the first min(count, 5) "@" give way
// to the parameters in turn, every other character stays.
QString expectedFill(const QString &descricao, int count, const QStringList &params)
{
    const QStringList pieces = descricao.split(u'@');
    const qsizetype filled = std::clamp<qsizetype>(std::min(count, 5), 0, pieces.size() - 1);
    QString out = pieces[0];
    for (qsizetype i = 1; i < pieces.size(); ++i)
        out += (i <= filled ? params.value(i - 1) : QStringLiteral("@")) + pieces[i];
    return out;
}

void checkColourRuns(const QString &texto)
{
    // Each shown character with the colour the last marker before it chose.
    QString shown;
    QList<bool> blue;
    bool isBlue = false;
    for (const QChar c : texto) {
        if (c == u'#' || c == u'|') {
            isBlue = c == u'#';
        } else {
            shown += c;
            blue.append(isBlue);
        }
    }
    QString joined;
    qsizetype at = 0;
    for (const MessageBoxLayout::ColourRun &run : MessageBoxLayout::colourRuns(texto)) {
        FUZZ_CHECK(!run.texto.isEmpty(), "an empty colour run");
        for (qsizetype i = 0; i < run.texto.size(); ++i)
            FUZZ_CHECK(at + i < blue.size() && blue[at + i] == run.blue, "a character in the wrong colour");
        at += run.texto.size();
        joined += run.texto;
    }
    FUZZ_CHECK(joined == shown, "the runs are not the text without its markers");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Bytes in(data, size);
    const std::uint8_t control = in.next();
    const int count = int(control % 8) - 1;
    const int fontSizes[] = {8, 10, 12, 14};
    const int fontSize = fontSizes[(control >> 3) % 4];
    QStringList fields = QString::fromUtf8(reinterpret_cast<const char *>(in.rest()), qsizetype(in.left()))
                             .split(QChar(u'\0'));
    const QString descricao = fields.takeFirst();
    while (fields.size() < 5)
        fields.append(QString());

    const QString texto =
        messages::FormataMensagem(descricao, count, fields[0], fields[1], fields[2], fields[3], fields[4]);
    FUZZ_CHECK(texto == expectedFill(descricao, count, fields), "the placeholders were not filled in order");

    const QString broken = MessageBoxLayout::QuebraTexto(texto, fontSize);
    FUZZ_CHECK(QString(broken).remove(u'\n') == QString(texto).remove(u'\n'),
               "line breaking changed more than line breaks");

    checkColourRuns(texto);
    checkColourRuns(broken);
    return 0;
}
