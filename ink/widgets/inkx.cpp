#include "inkx.h"

#include "inkx_export.h"
#include "windowmessage.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTabletEvent>
#include <QTouchEvent>

#include <algorithm>
#include <cmath>

namespace {

const QString kPlaceholder = QString::fromUtf8("표시할 수 없는 메모");
constexpr int kLineSpacing = 20;     // px at 100 %
constexpr qreal kTapDistance = 3.0;  // window px: less movement is a tap
constexpr qreal kFastPen = 4.0;      // window px: wider pens are stroked (see paintEvent)
const QColor kLineColour(196, 208, 228);
const QColor kSelection(40, 96, 220);

QColor qcolor(COLORREF c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

bool validZoom(LONG z) { return z >= 75 && z <= 300; }
bool validLines(LONG l)
{
    return l == INK_LINES_GRID || l == INK_LINES_RULED || l == INK_LINES_DOTTED || l == INK_LINES_NONE;
}

void paintLines(QPainter& p, const QRect& area, LONG lines, qreal zoom)
{
    if (lines == INK_LINES_NONE)
        return;
    const qreal step = kLineSpacing * zoom;
    p.save();
    QPen pen(kLineColour, 1);
    if (lines == INK_LINES_DOTTED)
        pen.setStyle(Qt::DotLine);
    p.setPen(pen);
    for (qreal y = area.top() + step; y < area.bottom(); y += step)
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    if (lines == INK_LINES_GRID)
        for (qreal x = step; x < area.right(); x += step)
            p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    p.restore();
}

} // namespace

CInkX::CInkX(QWidget* parent, bool bordered) : QWidget(parent), m_bordered(bordered)
{
    setObjectName(QStringLiteral("InkX"));
    setProperty("windowClass", QStringLiteral("InkX"));
    setWindowTitle(QStringLiteral("INKX"));
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_AcceptTouchEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
}

QByteArray CInkX::Data() const { return m_dirty ? ZuWriteInk(m_note) : m_loaded; }

int CInkX::SelectedCount() const
{
    if (!Editable())
        return m_allChosen ? 1 : 0;
    return static_cast<int>(std::count(m_selected.begin(), m_selected.end(), true));
}

QPointF CInkX::ToWindow(QPoint note) const
{
    const qreal z = m_view.zoom / 100.0;
    return QPointF(note.x() / 100.0 * z, note.y() / 100.0 * z + (m_voiceBar ? kVoiceBarHeight : 0));
}

QPoint CInkX::ToNote(QPointF window) const
{
    const qreal z = m_view.zoom / 100.0;
    const qreal y = window.y() - (m_voiceBar ? kVoiceBarHeight : 0);
    return QPoint(static_cast<int>(std::lround(window.x() * 100.0 / z)), static_cast<int>(std::lround(y * 100.0 / z)));
}

// --- messages ---

bool CInkX::event(QEvent* e)
{
    if (e->type() == ZuMessageEvent::eventType()) {
        auto* m = static_cast<ZuMessageEvent*>(e);
        m->setResult(OnMessage(*m));
        return true;
    }
    switch (e->type()) {
    case QEvent::TouchCancel:
        m_drag = Drag::None;
        update();
        return true;
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd: {
        auto* t = static_cast<QTouchEvent*>(e);
        e->accept();  // taken here, so that no mouse event is made from it
        if (t->points().size() != 1) {
            // One finger writes; a second one drops what the first was doing.
            m_drag = Drag::None;
            update();
            return true;
        }
        const QPointF at = t->points().first().position();
        if (e->type() == QEvent::TouchBegin)
            PenDown(at);
        else if (e->type() == QEvent::TouchUpdate)
            PenMove(at);
        else
            PenUp(at);
        return true;
    }
    default:
        return QWidget::event(e);
    }
}

LRESULT CInkX::OnMessage(const ZuMessageEvent& m)
{
    switch (m.message()) {
    case INKM_GETDATASIZE:
        return static_cast<LRESULT>(Data().size());
    case INKM_GETDATA: {
        auto* buffer = reinterpret_cast<BYTE*>(m.lParam());
        if (!buffer)
            return 0;
        const QByteArray data = Data();
        const qsizetype n = std::min<qsizetype>(data.size(), static_cast<qsizetype>(m.wParam()));
        std::copy_n(data.constData(), n, reinterpret_cast<char*>(buffer));
        return n;
    }
    case INKM_SETDATA: {
        const auto* data = reinterpret_cast<const char*>(m.lParam());
        if (!data && m.wParam() != 0)
            return 0;
        Load(m.wParam() ? QByteArray(data, static_cast<qsizetype>(m.wParam())) : QByteArray());
        return Editable() ? 1 : 0;
    }
    case INKM_SETPENMODE: {
        const int mode = static_cast<int>(m.wParam());
        if (mode < INK_PEN_DRAW || mode > INK_PEN_SPACE)
            return 0;
        m_mode = mode;
        m_drag = Drag::None;
        if (mode != INK_PEN_SELECT)
            SelectAll(false);
        update();
        return 1;
    }
    case INKM_SETVIEWATTR: {
        const auto* a = reinterpret_cast<const INKVIEWATTR*>(m.lParam());
        if (!a)
            return 0;
        if ((a->mask & INKVA_ZOOM) && validZoom(a->zoom))
            m_view.zoom = a->zoom;
        if ((a->mask & INKVA_LINES) && validLines(a->lines))
            m_view.lines = a->lines;
        if (a->mask & INKVA_BIT8)
            m_view.value8 = a->value8;
        if (a->mask & INKVA_BIT4)
            m_view.value4 = a->value4;
        m_view.mask |= a->mask;
        m_view.reserved = a->reserved;
        update();
        return 1;
    }
    case INKM_SHOWVOICEBAR:
        m_voiceBar = m.wParam() != 0;
        update();
        return 1;
    case ZU_EM_GETSEL: {
        const int n = SelectedCount();
        return n ? static_cast<LRESULT>(MAKELONG(0, static_cast<WORD>(std::min(n, 0xFFFF)))) : 0;
    }
    case ZU_EM_SETSEL:
        SelectAll(static_cast<LPARAM>(m.wParam()) == 0 && m.lParam() == -1);
        update();
        return 1;
    case ZU_WM_COPY:
        Copy();
        return 1;
    case ZU_WM_CUT:
        Copy();
        DeleteSelection();
        return 1;
    case ZU_WM_CLEAR:
        DeleteSelection();
        return 1;
    case ZU_WM_PASTE:
        Paste();
        return 1;
    case ZU_WM_DESTROY:
        hide();
        deleteLater();
        return 0;
    default:
        return 0;
    }
}

void CInkX::Load(const QByteArray& bytes)
{
    m_loaded = bytes;
    m_dirty = false;
    m_read = ZuReadInk(bytes, &m_note);
    m_selected.assign(m_note.items.size(), false);
    m_allChosen = false;
    m_textItem = -1;
    m_preedit.clear();
    m_caretShown = false;
    m_drag = Drag::None;
    update();
}

void CInkX::Changed()
{
    m_dirty = true;
    m_selected.resize(m_note.items.size(), false);
    update();
}

bool CInkX::Fits(qsizetype more) const
{
    qsizetype size = kInkHeaderSize + kInkSectionHeaderSize + 8;
    for (const InkItem& item : m_note.items)
        size += ZuInkItemSize(item);
    return size + more <= kInkMaxBytes;
}

// --- selection and the clipboard ---

void CInkX::SelectAll(bool all)
{
    m_allChosen = all;
    m_selected.assign(m_note.items.size(), false);
    if (all)
        for (size_t i = 0; i < m_note.items.size(); ++i)
            m_selected[i] = !std::holds_alternative<InkUnknown>(m_note.items[i]);
}

void CInkX::Copy()
{
    if (!Editable())
        return;
    InkNote chosen;
    QStringList texts;
    for (size_t i = 0; i < m_note.items.size(); ++i) {
        if (!m_selected[i])
            continue;
        chosen.items.push_back(m_note.items[i]);
        if (const auto* t = std::get_if<InkText>(&m_note.items[i]))
            texts << t->text;
    }
    if (chosen.empty())
        return;
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(INK_CLIPBOARD_FORMAT), ZuWriteInk(chosen));
    mime->setText(texts.join(QLatin1Char('\n')));
    QGuiApplication::clipboard()->setMimeData(mime);
}

void CInkX::Paste()
{
    if (!Editable())
        return;
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return;
    InkNote pasted;
    const QString format = QString::fromLatin1(INK_CLIPBOARD_FORMAT);
    if (mime->hasFormat(format) && ZuReadInk(mime->data(format), &pasted) == InkRead::Ours) {
        // Beside the original, so the copy is seen.
        for (InkItem& item : pasted.items)
            ZuInkMoveItem(item, QPoint(1000, 1000));
    } else if (mime->hasText() && !mime->text().isEmpty()) {
        InkText t;
        t.at = m_caret;
        t.height = m_textHeight;
        t.text = mime->text();
        pasted.items.emplace_back(std::move(t));
    } else {
        return;
    }
    qsizetype more = 0;
    for (const InkItem& item : pasted.items)
        more += ZuInkItemSize(item);
    if (!Fits(more))
        return;
    SelectAll(false);
    for (InkItem& item : pasted.items) {
        if (std::holds_alternative<InkUnknown>(item))
            continue;
        m_note.items.push_back(std::move(item));
        m_selected.push_back(m_mode == INK_PEN_SELECT);
    }
    Changed();
}

void CInkX::DeleteSelection()
{
    if (!Editable()) {
        // Only everything chosen replaces bytes this window cannot show: by an empty note.
        if (m_allChosen) {
            m_note = InkNote();
            m_read = InkRead::Empty;
            m_allChosen = false;
            m_textItem = -1;
            Changed();
        }
        return;
    }
    const bool everything = m_allChosen;
    std::vector<InkItem> kept;
    bool removed = false;
    for (size_t i = 0; i < m_note.items.size(); ++i) {
        const bool unknown = std::holds_alternative<InkUnknown>(m_note.items[i]);
        if (m_selected[i] || (everything && unknown))
            removed = true;
        else
            kept.push_back(std::move(m_note.items[i]));
    }
    if (!removed)
        return;
    m_note.items = std::move(kept);
    if (m_note.items.empty())
        m_note.page = QSize();
    m_allChosen = false;
    m_selected.assign(m_note.items.size(), false);
    m_textItem = -1;
    Changed();
}

// --- geometry ---

QFont CInkX::TextFont(const InkText& t) const
{
    QFont f(QStringLiteral("NanumGothic"));
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(t.height / 100.0 * m_view.zoom / 100.0))));
    return f;
}

QRect CInkX::ItemBounds(const InkItem& item) const
{
    if (const auto* s = std::get_if<InkStroke>(&item))
        return ZuInkStrokeBounds(*s);
    if (const auto* t = std::get_if<InkText>(&item)) {
        QFont f(QStringLiteral("NanumGothic"));
        f.setPixelSize(std::max(1, t->height / 100));
        const QRect r = QFontMetrics(f).boundingRect(QRect(0, 0, 100000, 100000), Qt::AlignLeft | Qt::AlignTop, t->text);
        return QRect(t->at, QSize(std::max(r.width(), 4) * 100, std::max(r.height(), t->height / 100) * 100));
    }
    return QRect();
}

int CInkX::HitItem(QPoint note) const
{
    const int slack = 300;  // 3 px around thin strokes
    for (int i = static_cast<int>(m_note.items.size()) - 1; i >= 0; --i) {
        const QRect b = ItemBounds(m_note.items[static_cast<size_t>(i)]);
        if (!b.isNull() && b.adjusted(-slack, -slack, slack, slack).contains(note))
            return i;
    }
    return -1;
}

QRect CInkX::CaretRect() const
{
    QPoint at = m_caret;
    qint32 height = m_textHeight;
    QString before;
    if (m_textItem >= 0) {
        const auto& t = std::get<InkText>(m_note.items[static_cast<size_t>(m_textItem)]);
        at = t.at;
        height = t.height;
        before = t.text;
    }
    InkText probe{at, height, before};
    const QFontMetrics fm(TextFont(probe));
    const QStringList lines = before.split(QLatin1Char('\n'));
    const QPointF top = ToWindow(at);
    const int x = static_cast<int>(top.x()) + fm.horizontalAdvance(lines.last() + m_preedit);
    const int y = static_cast<int>(top.y()) + fm.lineSpacing() * (static_cast<int>(lines.size()) - 1);
    return QRect(x, y, 1, fm.height());
}

// --- the pen ---

void CInkX::PenDown(QPointF at)
{
    setFocus(Qt::MouseFocusReason);
    if (!Editable())
        return;
    m_downAt = m_penAt = at;
    m_moved = false;
    const QPoint note = ToNote(at);
    switch (m_mode) {
    case INK_PEN_DRAW:
        m_drag = Drag::Stroke;
        m_stroke = InkStroke{m_colour, m_width, {note}};
        break;
    case INK_PEN_SELECT: {
        const int hit = HitItem(note);
        if (hit >= 0) {
            if (!m_selected[static_cast<size_t>(hit)]) {
                SelectAll(false);
                m_selected[static_cast<size_t>(hit)] = true;
            }
            m_drag = Drag::Move;
        } else {
            m_drag = Drag::Rubber;
        }
        break;
    }
    default:
        m_drag = Drag::Space;
        break;
    }
    update();
}

void CInkX::PenMove(QPointF at)
{
    if (m_drag == Drag::None)
        return;
    m_penAt = at;
    if (QLineF(m_downAt, at).length() >= kTapDistance)
        m_moved = true;
    if (m_drag == Drag::Stroke) {
        const QPoint note = ToNote(at);
        if (note != m_stroke.points.back())
            m_stroke.points.push_back(note);
    }
    update();
}

void CInkX::PenUp(QPointF at)
{
    if (m_drag == Drag::None)
        return;
    PenMove(at);
    const Drag drag = m_drag;
    m_drag = Drag::None;
    const QPoint from = ToNote(m_downAt), to = ToNote(at);
    switch (drag) {
    case Drag::Stroke:
        if (!m_moved) {
            // A tap: the caret goes there, into the text block under it if there is one.
            m_preedit.clear();
            const int hit = HitItem(to);
            m_textItem = hit >= 0 && std::holds_alternative<InkText>(m_note.items[static_cast<size_t>(hit)]) ? hit : -1;
            m_caret = from;
            m_caretShown = true;
        } else {
            InkItem item(std::move(m_stroke));
            if (Fits(ZuInkItemSize(item))) {
                m_note.items.push_back(std::move(item));
                Changed();
            }
        }
        m_stroke = InkStroke();
        break;
    case Drag::Rubber: {
        const QRect band = QRect(from, to).normalized();
        SelectAll(false);
        for (size_t i = 0; i < m_note.items.size(); ++i) {
            const QRect b = ItemBounds(m_note.items[i]);
            m_selected[i] = !b.isNull() && b.intersects(band.adjusted(0, 0, 1, 1));
        }
        break;
    }
    case Drag::Move:
        if (m_moved) {
            for (size_t i = 0; i < m_note.items.size(); ++i)
                if (m_selected[i])
                    ZuInkMoveItem(m_note.items[i], to - from);
            Changed();
        }
        break;
    case Drag::Space:
        if (m_moved && to.y() > from.y()) {
            for (InkItem& item : m_note.items) {
                const QRect b = ItemBounds(item);
                if (!b.isNull() && b.top() >= from.y())
                    ZuInkMoveItem(item, QPoint(0, to.y() - from.y()));
            }
            Changed();
        }
        break;
    case Drag::None:
        break;
    }
    update();
}

void CInkX::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        PenDown(e->position());
}

void CInkX::mouseMoveEvent(QMouseEvent* e)
{
    PenMove(e->position());  // only while the pen is down
}

void CInkX::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        PenUp(e->position());
}

void CInkX::tabletEvent(QTabletEvent* e)
{
    // Taken here, so that no mouse event is made from it.
    switch (e->type()) {
    case QEvent::TabletPress: PenDown(e->position()); break;
    case QEvent::TabletMove: PenMove(e->position()); break;
    case QEvent::TabletRelease: PenUp(e->position()); break;
    default: break;
    }
    e->accept();
}

// --- typing ---

void CInkX::Type(const QString& text)
{
    if (text.isEmpty() || !Editable() || !Fits(2 * text.size() + (m_textItem < 0 ? kInkSectionHeaderSize + 12 : 0)))
        return;
    if (m_textItem < 0) {
        m_note.items.emplace_back(InkText{m_caret, m_textHeight, QString()});
        m_textItem = static_cast<int>(m_note.items.size()) - 1;
    }
    std::get<InkText>(m_note.items[static_cast<size_t>(m_textItem)]).text += text;
    m_caretShown = true;
    Changed();
}

void CInkX::Backspace()
{
    if (m_textItem < 0 || !Editable())
        return;
    auto& t = std::get<InkText>(m_note.items[static_cast<size_t>(m_textItem)]);
    if (!t.text.isEmpty())
        t.text.chop(t.text.size() >= 2 && t.text.back().isLowSurrogate() ? 2 : 1);
    if (t.text.isEmpty()) {
        m_caret = t.at;
        m_note.items.erase(m_note.items.begin() + m_textItem);
        m_selected.erase(m_selected.begin() + m_textItem);
        m_textItem = -1;
    }
    Changed();
}

void CInkX::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Backspace) {
        Backspace();
    } else if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        Type(QStringLiteral("\n"));
    } else if (!e->text().isEmpty() && e->text().at(0).isPrint()) {
        Type(e->text());
    } else {
        QWidget::keyPressEvent(e);
        return;
    }
    e->accept();
}

void CInkX::inputMethodEvent(QInputMethodEvent* e)
{
    if (!Editable()) {
        e->ignore();
        return;
    }
    Type(e->commitString());
    m_preedit = e->preeditString();
    m_caretShown = true;
    update();
    e->accept();
}

QVariant CInkX::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const QString text =
        m_textItem >= 0 ? std::get<InkText>(m_note.items[static_cast<size_t>(m_textItem)]).text : QString();
    switch (query) {
    case Qt::ImEnabled: return Editable();
    case Qt::ImCursorRectangle: return CaretRect();
    case Qt::ImFont: return TextFont(InkText{m_caret, m_textHeight, QString()});
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition: return static_cast<int>(text.size());
    case Qt::ImSurroundingText: return text;
    case Qt::ImCurrentSelection: return QString();
    case Qt::ImHints: return static_cast<int>(Qt::ImhMultiLine);
    default: return QWidget::inputMethodQuery(query);
    }
}

// --- drawing ---

void CInkX::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect all = rect();
    p.fillRect(all, Qt::white);
    const int top = m_voiceBar ? kVoiceBarHeight : 0;
    if (m_voiceBar) {
        p.fillRect(QRect(0, 0, width(), kVoiceBarHeight), QColor(236, 236, 236));
        p.setPen(QColor(160, 160, 160));
        p.drawLine(0, kVoiceBarHeight - 1, width(), kVoiceBarHeight - 1);
    }
    const QRect area(0, top, width(), height() - top);
    const qreal zoom = m_view.zoom / 100.0;

    if (!Editable()) {
        p.setPen(QColor(112, 112, 118));
        QFont f(QStringLiteral("NanumGothic"));
        f.setPixelSize(13);
        p.setFont(f);
        p.drawText(area, Qt::AlignCenter, kPlaceholder);
        if (m_allChosen) {
            p.setPen(QPen(kSelection, 1, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(area.adjusted(2, 2, -3, -3));
        }
    } else {
        paintLines(p, area, m_view.lines, zoom);
        p.setRenderHint(QPainter::Antialiasing);
        std::vector<QPointF> poly;
        const qreal dpr = std::max<qreal>(1, p.device()->devicePixelRatioF());
        const auto drawStroke = [&](const InkStroke& s) {
            poly.resize(s.points.size());
            for (size_t i = 0; i < s.points.size(); ++i)
                poly[i] = ToWindow(s.points[i]);
            const qreal w = std::max(0.5, s.width / 100.0 * zoom);
            // ┌──────────────────────────────────────────────────────────────────────────────┐
            // │ Speed: a wide antialiased pen goes through Qt's stroker, about 20 times slower │
            // │ than a cosmetic (1-px) one; a note of 2,000 strokes must load and paint within │
            // │ 20 ms. Pens up to kFastPen px wide are drawn as that many cosmetic passes,     │
            // │ side by side along the diagonal; only wider ones are stroked.                  │
            // └──────────────────────────────────────────────────────────────────────────────┘
            if (w * dpr <= kFastPen) {
                // A cosmetic pen is one device pixel wide: count the passes in device pixels.
                p.setPen(QPen(qcolor(s.colour), 0));
                const int passes = std::max(1, static_cast<int>(std::lround(w * dpr)));
                for (int k = 0; k < passes; ++k) {
                    const qreal d = (k - (passes - 1) / 2.0) * 0.75 / dpr;
                    p.translate(d, d);
                    if (poly.size() == 1)
                        p.drawPoint(poly[0]);
                    else
                        p.drawPolyline(poly.data(), static_cast<int>(poly.size()));
                    p.translate(-d, -d);
                }
                return;
            }
            p.setPen(QPen(qcolor(s.colour), w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            if (poly.size() == 1)
                p.drawPoint(poly[0]);
            else
                p.drawPolyline(poly.data(), static_cast<int>(poly.size()));
        };
        for (size_t i = 0; i < m_note.items.size(); ++i) {
            const InkItem& item = m_note.items[i];
            if (const auto* s = std::get_if<InkStroke>(&item)) {
                drawStroke(*s);
            } else if (const auto* t = std::get_if<InkText>(&item)) {
                p.setPen(Qt::black);
                p.setFont(TextFont(*t));
                const QPointF at = ToWindow(t->at);
                p.drawText(QRectF(at, QSizeF(100000, 100000)), Qt::AlignLeft | Qt::AlignTop, t->text);
            }
            if (m_selected[i]) {
                const QRect b = ItemBounds(item);
                p.setPen(QPen(kSelection, 1, Qt::DashLine));
                p.setBrush(Qt::NoBrush);
                p.drawRect(QRectF(ToWindow(b.topLeft()), ToWindow(b.bottomRight())));
            }
        }
        if (m_drag == Drag::Stroke && m_moved)
            drawStroke(m_stroke);
        p.setRenderHint(QPainter::Antialiasing, false);
        if (m_drag == Drag::Rubber && m_moved) {
            p.setPen(QPen(kSelection, 1, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(m_downAt, m_penAt).normalized());
        } else if (m_drag == Drag::Space && m_moved) {
            p.setPen(QPen(kSelection, 1));
            p.drawLine(QPointF(0, m_downAt.y()), QPointF(width(), m_downAt.y()));
            p.drawLine(QPointF(0, m_penAt.y()), QPointF(width(), m_penAt.y()));
        }
        // The composing syllable at the caret, underlined, and the caret.
        if (m_caretShown && hasFocus()) {
            const QRect caret = CaretRect();
            if (!m_preedit.isEmpty()) {
                QFont f = TextFont(InkText{m_caret, m_textHeight, QString()});
                const QFontMetrics fm(f);
                const int w = fm.horizontalAdvance(m_preedit);
                const QRect r(caret.x() - w, caret.y(), w, caret.height());
                p.setFont(f);
                p.setPen(Qt::black);
                p.drawText(r, Qt::AlignLeft | Qt::AlignTop, m_preedit);
                p.drawLine(r.left(), r.top() + fm.ascent() + 2, r.right(), r.top() + fm.ascent() + 2);
            }
            p.fillRect(caret, Qt::black);
        }
    }
    if (m_bordered) {
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawRect(all.adjusted(0, 0, -1, -1));
    }
}

// --- the library's entry points ---

extern "C" INKX_EXPORT BOOL InitInkX() { return TRUE; }

extern "C" INKX_EXPORT QWidget* ZuCreateInkX(QWidget* parent, bool bordered)
{
    auto* w = new CInkX(parent, bordered);
    w->show();
    return w;
}
