// contactcard_bench - the contact card, the editor and a save.
//
// - BM_OpenCard: a card made and loaded for one contact of 10,000 (header, rows, picture box), as
//   a tap on a row opens it; without a picture.
// - BM_OpenCardWithPhoto: the same with a 12-megapixel JPEG as its picture, decoded at box size.
// - BM_DecodePhoto: the decode alone (CPhotoBox::SetPicture of the 12-MP JPEG).
// - BM_OpenEditor: the editor sheet made, its main page shown and closed (cancel).
// - BM_SaveContact: SaveContact of an edited contact (one batch, category counts) among 10,000.
#include "contactdata.h"
#include "contactdetaildlg.h"
#include "contacteditor.h"
#include "pimstore.h"
#include "photobox.h"
#include "savecontact.h"
#include "widgets/modaldialog.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>
#include <string>

namespace {

QTemporaryDir* g_home = nullptr;
CEOID g_plain = 0, g_photo = 0;
QString g_jpeg;

void makeStore()
{
    if (g_home)
        return;
    g_home = new QTemporaryDir;
    qputenv("ZUPIMS_HOME", g_home->path().toLocal8Bit());
    QImage photo(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); x += 1)
            photo.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
    g_jpeg = g_home->filePath("photo.jpg");
    photo.save(g_jpeg, "JPG", 90);
    CCeDBDatabase cats;
    GetDatabasePtr(&cats, ZU_SEL_CATEGORIES);
    for (int i = 0; i < 8; ++i) {
        CCeDBRecord r;
        const std::wstring name = L"그룹" + std::to_wstring(i);
        const CCeDBProp props[] = {CCeDBProp(name.c_str(), ZUID_CAT_NAME), CCeDBProp(static_cast<short>(i), ZUID_CAT_INDEX),
            CCeDBProp(static_cast<short>(1), ZUID_CAT_IN_USE), CCeDBProp(static_cast<short>(0), ZUID_CAT_CONTACT_COUNT),
            CCeDBProp(static_cast<short>(0), ZUID_CAT_APT_COUNT), CCeDBProp(static_cast<short>(0), ZUID_CAT_TASK_COUNT)};
        r.AddProps(props, 6);
        cats.WriteRecord(r, 0);
    }
    CCeDBDatabase db;
    GetDatabasePtr(&db, ZU_SEL_CONTACTS);
    ZuStoreBatch batch;
    const std::wstring jpeg = g_jpeg.toStdWString();
    for (int i = 0; i < 10000; ++i) {
        CCeDBRecord r;
        const std::wstring name = L"연락처" + std::to_wstring(i), tel = L"010-" + std::to_wstring(1000 + i);
        const CCeDBProp props[] = {CCeDBProp(name.c_str(), 0x4013), CCeDBProp(L"이", 0x3A11), CCeDBProp(name.c_str(), 0x3A06),
            CCeDBProp(tel.c_str(), 0x3A1C), CCeDBProp(L"탄데무어", 0x3A16), CCeDBProp(L"서울시", 0x4042)};
        r.AddProps(props, 6);
        if (i == 5000) {
            const CCeDBProp pic(jpeg.c_str(), 0x8200);
            r.AddProp(&pic);
        }
        const CEOID oid = db.WriteRecord(r, 0);
        if (i == 4000)
            g_plain = oid;
        if (i == 5000)
            g_photo = oid;
    }
    batch.Commit();
}

void BM_OpenCard(benchmark::State& state)
{
    makeStore();
    for (auto _ : state) {
        CContactDetailDlg card;
        card.SetContact(g_plain);
        benchmark::DoNotOptimize(card.grab());
    }
}
BENCHMARK(BM_OpenCard)->Unit(benchmark::kMillisecond);

void BM_OpenCardWithPhoto(benchmark::State& state)
{
    makeStore();
    for (auto _ : state) {
        CContactDetailDlg card;
        card.SetContact(g_photo);
        benchmark::DoNotOptimize(card.grab());
    }
}
BENCHMARK(BM_OpenCardWithPhoto)->Unit(benchmark::kMillisecond);

void BM_DecodePhoto(benchmark::State& state)
{
    makeStore();
    const CString path = CString::fromQString(g_jpeg);
    for (auto _ : state) {
        CPhotoBox box;
        benchmark::DoNotOptimize(box.SetPicture(path));
    }
}
BENCHMARK(BM_DecodePhoto)->Unit(benchmark::kMillisecond);

void BM_OpenEditor(benchmark::State& state)
{
    makeStore();
    ZuModalHandlerScope scope([](QDialog& d) { d.grab(); });
    for (auto _ : state) {
        CEOID oid = g_plain;
        benchmark::DoNotOptimize(ZuEditContact(nullptr, oid));
    }
}
BENCHMARK(BM_OpenEditor)->Unit(benchmark::kMillisecond);

void BM_SaveContact(benchmark::State& state)
{
    makeStore();
    CContactData data;
    data.Load(g_plain);
    int n = 0;
    for (auto _ : state) {
        data.SetString(0x3A16, CString(n % 2 ? L"갑" : L"을"));
        std::vector<BYTE> bitmap;
        ZuBitmapSet(bitmap, n % 8);
        data.SetCategories(bitmap);
        data.SetNameEdited(true);
        ++n;
        benchmark::DoNotOptimize(SaveContact(g_plain, data));
    }
}
BENCHMARK(BM_SaveContact)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
