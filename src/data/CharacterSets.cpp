// Which characters a column's character set holds, asked of the C library's converters, so a
// value is refused naming its field before the database would refuse it or store "?".
#include "data/CharacterSets.h"

#include <QByteArray>

#include <iconv.h>

#include <array>
#include <memory>
#include <utility>

namespace velmarith::detail {
namespace {

// How the names below stand for the sets that hold every character (none is needed) and for the
// three-byte UTF-8 ones, which hold only those of the Basic Multilingual Plane.
constexpr const char *kEverything = nullptr;
constexpr const char *kBasicPlane = "BMP";

struct Converter {
    void operator()(iconv_t converter) const { iconv_close(converter); }
};

QString firstOutsideBasicPlane(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate())
            return text.mid(i, 2);
    }
    return {};
}

// The character at a byte of UTF-8 that starts one.
QString characterAt(const QByteArray &utf8, qsizetype at)
{
    const QString rest = QString::fromUtf8(utf8.mid(at, 4));
    return rest.left(!rest.isEmpty() && rest.front().isHighSurrogate() ? 2 : 1);
}

QString firstUnconvertible(const QString &text, const char *target)
{
    if (!target || text.isEmpty())
        return {};
    if (qstrcmp(target, kBasicPlane) == 0)
        return firstOutsideBasicPlane(text);
    const iconv_t opened = iconv_open(target, "UTF-8");
    if (opened == iconv_t(-1))
        return {};
    const std::unique_ptr<std::remove_pointer_t<iconv_t>, Converter> converter(opened);
    QByteArray utf8 = text.toUtf8();
    QByteArray converted(utf8.size() * 4 + 16, Qt::Uninitialized);
    char *in = utf8.data();
    size_t inLeft = size_t(utf8.size());
    char *out = converted.data();
    size_t outLeft = size_t(converted.size());
    if (iconv(converter.get(), &in, &inLeft, &out, &outLeft) != size_t(-1))
        return {};
    return characterAt(utf8, in - utf8.data());
}

template <size_t N>
const char *converterOf(const QString &name, const std::array<std::pair<const char *, const char *>, N> &names)
{
    for (const auto &[database, iconvName] : names) {
        if (name.compare(QLatin1String(database), Qt::CaseInsensitive) == 0)
            return iconvName;
    }
    return kEverything;
}

} // namespace

QString firstCharacterMariaDbCannotStore(const QString &text, const QString &charset)
{
    static constexpr std::array<std::pair<const char *, const char *>, 15> kNames{{
        {"latin2", "ISO-8859-2"}, {"ascii", "ASCII"}, {"gbk", "GBK"}, {"gb2312", "EUC-CN"}, {"big5", "BIG5"},
        {"sjis", "SHIFT_JIS"}, {"ujis", "EUC-JP"}, {"euckr", "EUC-KR"}, {"cp1250", "CP1250"}, {"cp1251", "CP1251"},
        {"greek", "ISO-8859-7"}, {"koi8r", "KOI8-R"}, {"utf8mb3", kBasicPlane}, {"utf8", kBasicPlane}, {"ucs2", kBasicPlane},
    }};
    if (charset.compare(QLatin1String("latin1"), Qt::CaseInsensitive) != 0)
        return firstUnconvertible(text, converterOf(charset, kNames));
    // MariaDB's latin1 is Windows' code page 1252, with the five bytes it leaves free taken as
    // the control characters of those numbers.
    QString rest = text;
    for (const char16_t free : {u'\u0081', u'\u008D', u'\u008F', u'\u0090', u'\u009D'})
        rest.remove(QChar(free));
    return firstUnconvertible(rest, "CP1252");
}

QString firstCharacterPostgresCannotStore(const QString &text, const QString &encoding)
{
    static constexpr std::array<std::pair<const char *, const char *>, 14> kNames{{
        {"EUC_CN", "EUC-CN"}, {"EUC_JP", "EUC-JP"}, {"EUC_KR", "EUC-KR"}, {"EUC_TW", "EUC-TW"}, {"LATIN1", "ISO-8859-1"},
        {"LATIN2", "ISO-8859-2"}, {"LATIN9", "ISO-8859-15"}, {"WIN1250", "CP1250"}, {"WIN1251", "CP1251"},
        {"WIN1252", "CP1252"}, {"KOI8R", "KOI8-R"}, {"ISO_8859_5", "ISO-8859-5"}, {"ISO_8859_7", "ISO-8859-7"},
        {"SQL_ASCII", kEverything},
    }};
    return firstUnconvertible(text, converterOf(encoding, kNames));
}

} // namespace velmarith::detail
