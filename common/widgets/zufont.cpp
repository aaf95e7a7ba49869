#include "zufont.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

QString ZuFontFamily(const QString& face)
{
    static const QString korean = QStringLiteral("NanumGothic");
    const QString f = face.trimmed();
    if (f.isEmpty() || f.compare(QLatin1String("Tahoma"), Qt::CaseInsensitive) == 0)
        return korean;
    static const QString systemFaces[] = {QStringLiteral("굴림"), QStringLiteral("굴림체"),
                                          QStringLiteral("돋움"), QStringLiteral("돋움체")};
    for (const QString& s : systemFaces)
        if (f == s)
            return korean;
    return f;
}

QFont ZuFont(const QString& face, int pixelHeight, int weight)
{
    QFont font(ZuFontFamily(face));
    font.setPixelSize(std::max(1, std::abs(pixelHeight)));
    if (weight <= 0)
        weight = FW_NORMAL;
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

QFont ZuFont(const wchar_t* face, int pixelHeight, int weight)
{
    return ZuFont(QString::fromWCharArray(face ? face : L""), pixelHeight, weight);
}

QFont ZuFontFromLogFont(const LOGFONT& lf)
{
    const size_t n = wcsnlen(lf.lfFaceName, LF_FACESIZE - 1);
    QFont font = ZuFont(QString::fromWCharArray(lf.lfFaceName, static_cast<qsizetype>(n)),
                        lf.lfHeight == 0 ? 12 : static_cast<int>(lf.lfHeight), static_cast<int>(lf.lfWeight));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    if (lf.lfQuality == NONANTIALIASED_QUALITY)
        font.setStyleStrategy(QFont::NoAntialias);
    else if (lf.lfQuality == ANTIALIASED_QUALITY)
        font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void ZuSetFaceName(LOGFONT& lf, const wchar_t* face)
{
    std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), L'\0');
    if (!face)
        return;
    const size_t n = wcsnlen(face, LF_FACESIZE - 1);
    std::copy(face, face + n, lf.lfFaceName);
}
