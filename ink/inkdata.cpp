#include "inkdata.h"

#include <algorithm>
#include <cstring>

namespace {

// A cursor over the bytes that refuses to read past their end.
class Reader {
public:
    Reader(const char* data, qsizetype size) : m_data(data), m_size(size) {}
    qsizetype left() const { return m_size - m_pos; }
    qsizetype pos() const { return m_pos; }
    bool u16(quint16* v)
    {
        if (left() < 2)
            return false;
        const auto* p = reinterpret_cast<const unsigned char*>(m_data + m_pos);
        *v = static_cast<quint16>(p[0] | (p[1] << 8));
        m_pos += 2;
        return true;
    }
    bool u32(quint32* v)
    {
        if (left() < 4)
            return false;
        const auto* p = reinterpret_cast<const unsigned char*>(m_data + m_pos);
        *v = static_cast<quint32>(p[0]) | (static_cast<quint32>(p[1]) << 8) | (static_cast<quint32>(p[2]) << 16)
            | (static_cast<quint32>(p[3]) << 24);
        m_pos += 4;
        return true;
    }
    bool i32(qint32* v)
    {
        quint32 u;
        if (!u32(&u))
            return false;
        *v = static_cast<qint32>(u);
        return true;
    }

private:
    const char* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
};

void putU16(QByteArray& out, quint16 v)
{
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>(v >> 8));
}

void putU32(QByteArray& out, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void putI32(QByteArray& out, qint32 v) { putU32(out, static_cast<quint32>(v)); }

bool inLimit(qint32 v) { return v >= -kInkCoordLimit && v <= kInkCoordLimit; }

bool readPoint(Reader& r, QPoint* p)
{
    qint32 x, y;
    if (!r.i32(&x) || !r.i32(&y) || !inLimit(x) || !inLimit(y))
        return false;
    *p = QPoint(x, y);
    return true;
}

// Reads one known section's payload of exactly `length` bytes.
bool readStroke(Reader& r, quint32 length, InkStroke* s)
{
    quint32 n;
    if (length < 12 || !r.u32(&s->colour) || !r.u32(&s->width) || !r.u32(&n))
        return false;
    if (s->width < 1 || s->width > kInkMaxWidth || (s->colour & 0xFF000000u) || n < 1)
        return false;
    // The count is checked against the payload before anything is allocated.
    if ((length - 12) / 8 != n || (length - 12) % 8 != 0)
        return false;
    s->points.resize(n);
    for (QPoint& p : s->points)
        if (!readPoint(r, &p))
            return false;
    return true;
}

bool readText(Reader& r, quint32 length, InkText* t)
{
    if (length < 12 || (length - 12) % 2 != 0)
        return false;
    if (!readPoint(r, &t->at) || !r.i32(&t->height) || t->height < 1 || t->height > kInkMaxTextHeight)
        return false;
    const qsizetype units = (length - 12) / 2;
    std::vector<char16_t> text(static_cast<size_t>(units));
    for (qsizetype i = 0; i < units; ++i) {
        quint16 u;
        if (!r.u16(&u))
            return false;
        text[static_cast<size_t>(i)] = u;
    }
    t->text = QString(reinterpret_cast<const QChar*>(text.data()), units);
    return true;
}

} // namespace

InkRead ZuReadInk(const QByteArray& bytes, InkNote* note)
{
    *note = InkNote();
    if (bytes.isEmpty())
        return InkRead::Empty;
    if (bytes.size() > kInkMaxBytes)
        return InkRead::Damaged;
    Reader r(bytes.constData(), bytes.size());
    quint16 major, minor;
    quint32 total;
    if (bytes.size() < kInkHeaderSize || std::memcmp(bytes.constData(), "ZINK", 4) != 0)
        return InkRead::Damaged;
    Reader header(bytes.constData() + 4, 8);
    header.u16(&major);
    header.u16(&minor);
    header.u32(&total);
    if (major != kInkMajor)
        return major > kInkMajor ? InkRead::Foreign : InkRead::Damaged;
    if (total != static_cast<quint32>(bytes.size()))
        return InkRead::Damaged;

    InkNote read;
    bool sawPage = false;
    qsizetype pos = kInkHeaderSize;
    while (pos < bytes.size()) {
        Reader sec(bytes.constData() + pos, bytes.size() - pos);
        quint16 tag, flags;
        quint32 length;
        if (!sec.u16(&tag) || !sec.u16(&flags) || !sec.u32(&length))
            return InkRead::Damaged;
        if (length > static_cast<quint64>(sec.left()))
            return InkRead::Damaged;
        Reader body(bytes.constData() + pos + kInkSectionHeaderSize, length);
        switch (tag) {
        case kInkTagPage: {
            qint32 w, h;
            if (length != 8 || sawPage || !body.i32(&w) || !body.i32(&h) || w < 0 || h < 0 || !inLimit(w) || !inLimit(h))
                return InkRead::Damaged;
            read.page = QSize(w, h);
            sawPage = true;
            break;
        }
        case kInkTagStroke: {
            InkStroke s;
            if (!readStroke(body, length, &s))
                return InkRead::Damaged;
            read.items.emplace_back(std::move(s));
            break;
        }
        case kInkTagText: {
            InkText t;
            if (!readText(body, length, &t))
                return InkRead::Damaged;
            read.items.emplace_back(std::move(t));
            break;
        }
        default:
            if (flags & kInkMustUnderstand)
                return InkRead::Foreign;
            read.items.emplace_back(InkUnknown{bytes.mid(pos, kInkSectionHeaderSize + static_cast<qsizetype>(length))});
            break;
        }
        pos += kInkSectionHeaderSize + static_cast<qsizetype>(length);
    }
    *note = std::move(read);
    return InkRead::Ours;
}

qsizetype ZuInkItemSize(const InkItem& item)
{
    if (const auto* s = std::get_if<InkStroke>(&item))
        return kInkSectionHeaderSize + 12 + 8 * static_cast<qsizetype>(s->points.size());
    if (const auto* t = std::get_if<InkText>(&item))
        return kInkSectionHeaderSize + 12 + 2 * t->text.size();
    return std::get<InkUnknown>(item).bytes.size();
}

QByteArray ZuWriteInk(const InkNote& note)
{
    if (note.empty())
        return QByteArray();
    qint32 w = std::max(0, note.page.width()), h = std::max(0, note.page.height());
    qsizetype total = kInkHeaderSize + kInkSectionHeaderSize + 8;
    for (const InkItem& item : note.items) {
        total += ZuInkItemSize(item);
        if (const auto* s = std::get_if<InkStroke>(&item)) {
            for (const QPoint& p : s->points) {
                w = std::max(w, p.x());
                h = std::max(h, p.y());
            }
        } else if (const auto* t = std::get_if<InkText>(&item)) {
            w = std::max(w, t->at.x());
            h = std::max<qint32>(h, std::min<qint64>(kInkCoordLimit, qint64(t->at.y()) + t->height));
        }
    }
    QByteArray out;
    out.reserve(total);
    out.append("ZINK", 4);
    putU16(out, kInkMajor);
    putU16(out, kInkMinor);
    putU32(out, static_cast<quint32>(total));
    putU16(out, kInkTagPage);
    putU16(out, 0);
    putU32(out, 8);
    putI32(out, w);
    putI32(out, h);
    for (const InkItem& item : note.items) {
        if (const auto* s = std::get_if<InkStroke>(&item)) {
            putU16(out, kInkTagStroke);
            putU16(out, 0);
            putU32(out, static_cast<quint32>(12 + 8 * s->points.size()));
            putU32(out, s->colour);
            putU32(out, s->width);
            putU32(out, static_cast<quint32>(s->points.size()));
            for (const QPoint& p : s->points) {
                putI32(out, p.x());
                putI32(out, p.y());
            }
        } else if (const auto* t = std::get_if<InkText>(&item)) {
            putU16(out, kInkTagText);
            putU16(out, 0);
            putU32(out, static_cast<quint32>(12 + 2 * t->text.size()));
            putI32(out, t->at.x());
            putI32(out, t->at.y());
            putI32(out, t->height);
            for (const QChar c : t->text)
                putU16(out, c.unicode());
        } else {
            out.append(std::get<InkUnknown>(item).bytes);
        }
    }
    return out;
}

QRect ZuInkStrokeBounds(const InkStroke& stroke)
{
    if (stroke.points.empty())
        return QRect();
    int l = stroke.points[0].x(), r = l, t = stroke.points[0].y(), b = t;
    for (const QPoint& p : stroke.points) {
        l = std::min(l, p.x());
        r = std::max(r, p.x());
        t = std::min(t, p.y());
        b = std::max(b, p.y());
    }
    const int half = static_cast<int>(stroke.width / 2) + 1;
    return QRect(QPoint(l - half, t - half), QPoint(r + half, b + half));
}

void ZuInkMoveItem(InkItem& item, QPoint offset)
{
    const auto move = [&](QPoint& p) {
        p.setX(static_cast<int>(std::clamp<qint64>(qint64(p.x()) + offset.x(), -kInkCoordLimit, kInkCoordLimit)));
        p.setY(static_cast<int>(std::clamp<qint64>(qint64(p.y()) + offset.y(), -kInkCoordLimit, kInkCoordLimit)));
    };
    if (auto* s = std::get_if<InkStroke>(&item))
        for (QPoint& p : s->points)
            move(p);
    else if (auto* t = std::get_if<InkText>(&item))
        move(t->at);
}
