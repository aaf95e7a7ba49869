// ink_bench - the ink window with a note of 2,000 strokes (20 points each, wandering over the
// page as handwriting does) at the note page's size: the bytes loaded and painted once, the
// paint alone, and one stroke drawn with the mouse (its points and the repaints between them).
// Run by hand:
//   build/bin/ink_bench
#include "widgets/inkx.h"

#include "windowmessage.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <random>

namespace {

QByteArray note2000()
{
    std::mt19937 rng(2000);
    InkNote n;
    for (int s = 0; s < 2000; ++s) {
        InkStroke stroke{0, 150, {}};
        QPoint p(static_cast<int>(rng() % 22000) + 500, static_cast<int>(rng() % 18000) + 500);
        for (int i = 0; i < 20; ++i) {
            p += QPoint(static_cast<int>(rng() % 300) - 100, static_cast<int>(rng() % 200) - 100);
            stroke.points.push_back(p);
        }
        n.items.emplace_back(std::move(stroke));
    }
    return ZuWriteInk(n);
}

void load(CInkX& w, const QByteArray& bytes)
{
    ZuMessageEvent e(INKM_SETDATA, static_cast<WPARAM>(bytes.size()), reinterpret_cast<LPARAM>(bytes.constData()));
    QCoreApplication::sendEvent(&w, &e);
}

void paint(CInkX& w, QImage& into)
{
    QPainter p(&into);
    w.render(&p);
}

void BM_LoadAndPaint(benchmark::State& state)
{
    const QByteArray bytes = note2000();
    CInkX w;
    w.resize(240, 195);
    QImage image(w.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        load(w, bytes);
        paint(w, image);
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
}

void BM_Paint(benchmark::State& state)
{
    CInkX w;
    w.resize(240, 195);
    load(w, note2000());
    QImage image(w.size(), QImage::Format_RGB32);
    for (auto _ : state)
        paint(w, image);
}

void BM_DrawOneStroke(benchmark::State& state)
{
    CInkX w;
    w.resize(240, 195);
    load(w, note2000());
    QImage image(w.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QMouseEvent down(QEvent::MouseButtonPress, QPointF(20, 20), QPointF(20, 20), Qt::LeftButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&w, &down);
        for (int i = 1; i <= 10; ++i) {
            QMouseEvent move(QEvent::MouseMove, QPointF(20 + 10 * i, 20 + i), QPointF(20 + 10 * i, 20 + i), Qt::NoButton,
                             Qt::LeftButton, {});
            QCoreApplication::sendEvent(&w, &move);
            paint(w, image);
        }
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(120, 30), QPointF(120, 30), Qt::LeftButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(&w, &up);
        state.PauseTiming();
        load(w, note2000());
        state.ResumeTiming();
    }
    state.SetLabel("10 moves, each painted");
}

} // namespace

BENCHMARK(BM_LoadAndPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawOneStroke)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
