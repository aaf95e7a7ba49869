// contacts_bench - the contacts program on 10,000 contacts of about 17 properties each (a 600-byte
// note among them), written once per run with a fixed seed in a temporary data folder: start-up to
// the full list painted, the list read into memory, a quick-search keystroke to the repainted list
// (median and worst of 1,000), an index button, a category change, a screen of rows anywhere, and
// another thread writing 1,000 contacts in one batch (rebuilds counted). Run by hand:
//   build/bin/contacts_bench
#include "../contact/resource.h"
#include "../contact/widgets/mainframe.h"
#include "../contact/widgets/zucontactview.h"
#include "../contact/zucontactdoc.h"

#include "cedbdatabase.h"
#include "pimstore.h"
#include "recordlayouts.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <thread>

namespace {

constexpr int kContacts = 10000;

CString randomName(std::mt19937& rng)
{
    static const wchar_t surnames[] = L"김이박최정강조윤장임한오서신권황안송류홍";
    std::uniform_int_distribution<int> syllable(0xAC00, 0xD7A3), kind(0, 9), letter(0, 25);
    std::wstring s;
    if (kind(rng) < 8) {
        s += surnames[std::uniform_int_distribution<int>(0, 19)(rng)];
        s += static_cast<wchar_t>(syllable(rng));
        s += static_cast<wchar_t>(syllable(rng));
    } else {
        s += static_cast<wchar_t>(L'A' + letter(rng));
        for (int i = 0; i < 5; ++i)
            s += static_cast<wchar_t>(L'a' + letter(rng));
    }
    return CString(s);
}

void writeContacts(int count, unsigned seed, int categories)
{
    std::mt19937 rng(seed);
    CCeDBDatabase db;
    db.Open(ZU_DB_CONTACTS);
    ZuStoreBatch batch;
    const std::vector<BYTE> note(600, 0x5A);
    for (int i = 0; i < count; ++i) {
        CCeDBRecord r;
        auto add = [&](WORD ident, const CString& v) {
            CCeDBProp p(static_cast<const wchar_t*>(v), ident);
            r.AddProp(&p);
        };
        add(ZUID_CON_FILE_AS, randomName(rng));
        add(ZUID_CON_FIRST_NAME, L"이름");
        add(ZUID_CON_LAST_NAME, L"성");
        add(ZUID_CON_COMPANY, L"탄데무어");
        add(ZUID_CON_JOB_TITLE, L"과장");
        add(ZUID_CON_DEPARTMENT, L"개발부");
        add(ZUID_CON_WORK_TEL, L"02-555-0101");
        add(ZUID_CON_HOME_TEL, L"031-777-0202");
        add(ZUID_CON_MOBILE_TEL, L"010-1234-5678");
        add(ZUID_CON_EMAIL, L"someone@example.kr");
        add(ZUID_CON_WORK_STREET, L"테헤란로 1");
        add(ZUID_CON_WORK_CITY, L"강남구");
        add(ZUID_CON_WORK_STATE, L"서울");
        add(ZUID_CON_HOME_STREET, L"중앙로 2");
        add(ZUID_CON_HOME_CITY, L"분당구");
        std::vector<BYTE> bits;
        ZuBitmapSet(bits, i % categories);
        CEBLOB cats{static_cast<DWORD>(bits.size()), bits.data()};
        CCeDBProp c(cats, ZUID_CON_CATEGORIES);
        r.AddProp(&c);
        CEBLOB n{static_cast<DWORD>(note.size()), const_cast<BYTE*>(note.data())};
        CCeDBProp p(n, ZUID_CON_NOTE);
        r.AddProp(&p);
        db.WriteRecord(r, 0);
    }
    batch.Commit();
}

// In a temporary folder, or in $ZUPIMS_BENCH_CONTACTS when that names a folder: it is then kept
// (for timing the program itself on the same book) and used again when it holds a store.
struct Store {
    QTemporaryDir dir;
    Store()
    {
        const char* kept = std::getenv("ZUPIMS_BENCH_CONTACTS");
        const QString home = kept && *kept ? QString::fromLocal8Bit(kept) : dir.path();
        ::setenv("ZUPIMS_HOME", home.toUtf8().constData(), 1);
        if (kept && *kept && QFile::exists(home + QStringLiteral("/pim.db")))
            return;
        CCeDBDatabase cats;
        cats.Open(ZU_DB_CATEGORIES);
        for (short i = 0; i < 4; ++i) {
            CCeDBRecord r;
            CString name;
            name.Format(L"그룹%d", i);
            CCeDBProp n(static_cast<const wchar_t*>(name), ZUID_CAT_NAME), x(i, ZUID_CAT_INDEX),
                u(short(1), ZUID_CAT_IN_USE), c(short(2500), ZUID_CAT_CONTACT_COUNT);
            r.AddProp(&n);
            r.AddProp(&x);
            r.AddProp(&u);
            r.AddProp(&c);
            cats.WriteRecord(r, 0);
        }
        writeContacts(kContacts, 7, 4);
    }
};

struct Program {
    CZuContactDoc doc{false};
    CMainFrame frame{&doc};
    Program()
    {
        frame.Create();
        frame.InitialUpdate({});
        frame.show();
        paint();
    }
    // Renders the list as the screen would get it (grab paints even before the window is exposed).
    void paint() { benchmark::DoNotOptimize(frame.View()->viewport()->grab()); }
};

Store* g_store = nullptr;
std::unique_ptr<Program> g_program;

Program& program()
{
    if (!g_program)
        g_program = std::make_unique<Program>();
    return *g_program;
}

void BM_StartupToFullList(benchmark::State& state)
{
    for (auto _ : state) {
        Program p;
        benchmark::DoNotOptimize(p.frame.View()->GetItemCount());
    }
}

void BM_ModelLoad(benchmark::State& state)
{
    CCeDBDatabase db;
    CCeDBProp byName(L"", ZUID_CON_FILE_AS);
    db.Open(ZU_DB_CONTACTS, &byName);
    CContactModel model;
    for (auto _ : state)
        model.Load(db);
    state.counters["contacts"] = model.Size();
}

// Types and erases syllables, initials and Latin letters; each keystroke timed to the repaint.
void BM_KeystrokeToRepaint(benchmark::State& state)
{
    Program& p = program();
    const QString texts[] = {QStringLiteral("ㄱ"), QStringLiteral("김"), QStringLiteral("김ㅊ"), QStringLiteral("이"),
        QStringLiteral("a"), QStringLiteral("ab"), QString(), QStringLiteral("ㅎ"), QStringLiteral("박"), QString()};
    std::vector<double> ms;
    size_t k = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        p.doc.SetSearch(texts[k % 10], k % 3 == 0);
        p.paint();
        ms.push_back(t.nsecsElapsed() / 1e6);
        ++k;
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["worst_ms"] = ms.back();
    p.doc.SetSearch(QString(), false);
}

void BM_IndexButton(benchmark::State& state)
{
    Program& p = program();
    int b = 0;
    for (auto _ : state) {
        p.doc.IndexSelect(b++ % 9);
        p.paint();
    }
    p.doc.IndexSelect(0);
}

void BM_CategoryChange(benchmark::State& state)
{
    Program& p = program();
    int k = 0;
    for (auto _ : state) {
        if (k++ % 2)
            p.doc.ChooseCategory(ZU_CON_CATY_ALL, CString());
        else
            p.doc.ChooseCategory(ZU_CON_CATY_FIRST, CString(L"그룹0"));
        p.paint();
    }
    p.doc.ChooseCategory(ZU_CON_CATY_ALL, CString());
}

void BM_ScreenOfRowsAnywhere(benchmark::State& state)
{
    Program& p = program();
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> pos(0, std::max(0, p.frame.View()->GetScrollMax()));
    for (auto _ : state) {
        p.frame.View()->SetScrollPos(pos(rng));
        p.paint();
    }
}

void BM_ThousandNotifications(benchmark::State& state)
{
    Program& p = program();
    unsigned seed = 100;
    int rebuilds = 0;
    for (auto _ : state) {
        const int before = p.doc.Rebuilds();
        const int expected = p.frame.View()->GetItemCount() + 1000;
        std::thread writer([s = seed++] { writeContacts(1000, s, 4); });
        writer.join();
        while (p.frame.View()->GetItemCount() < expected)
            QTest::qWait(5);
        QTest::qWait(50);
        rebuilds = p.doc.Rebuilds() - before;
    }
    state.counters["rebuilds"] = rebuilds;
}

}  // namespace

BENCHMARK(BM_StartupToFullList)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ModelLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeToRepaint)->Unit(benchmark::kMillisecond)->Iterations(1000);
BENCHMARK(BM_IndexButton)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CategoryChange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScreenOfRowsAnywhere)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThousandNotifications)->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char** argv)
{
    ::setenv("TZ", "Asia/Seoul", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    Store store;
    g_store = &store;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_program.reset();
    return 0;
}
