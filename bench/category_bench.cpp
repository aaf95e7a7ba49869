// category_bench - opening the category sheet with 300 categories: the sheet runs, the list page
// is made, reads the categories database, checks the rows of the record's bitmap and paints
// itself once; then the sheet closes. Run by hand, headless:
//   build/bin/category_bench
// (the goal is at most 30 ms per opening).
#include "pimstore.h"
#include "widgets/categoryeditor.h"
#include "widgets/categorylist.h"
#include "widgets/modaldialog.h"
#include "widgets/propertysheet.h"
#include "qtbenchmain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>
#include <string>

namespace {

constexpr int kCategories = 300;

void BM_OpenCategorySheet(benchmark::State& state)
{
    QTemporaryDir home;
    ::setenv("ZUPIMS_HOME", home.path().toLocal8Bit().constData(), 1);
    std::vector<BYTE> bitmap;
    {
        ZuStoreBatch batch;
        CCeDBDatabase db;
        GetDatabasePtr(&db, ZU_SEL_CATEGORIES);
        for (int i = 0; i < kCategories; ++i) {
            const std::wstring name = L"그룹 " + std::to_wstring(i);
            CCeDBRecord r;
            const CCeDBProp props[] = {CCeDBProp(name.c_str(), ZUID_CAT_NAME),
                CCeDBProp(static_cast<short>(i), ZUID_CAT_INDEX), CCeDBProp(short(i % 10 ? 1 : 0), ZUID_CAT_IN_USE),
                CCeDBProp(short(1), ZUID_CAT_CONTACT_COUNT), CCeDBProp(short(0), ZUID_CAT_APT_COUNT),
                CCeDBProp(short(0), ZUID_CAT_TASK_COUNT)};
            r.AddProps(props, 6);
            db.WriteRecord(r, 0);
            if (i % 7 == 0)
                ZuBitmapSet(bitmap, i);
        }
        batch.Commit();
    }
    const CEBLOB initial = ZuBlobOf(bitmap);
    int rows = 0;
    for (auto _ : state) {
        CCategoryList list;
        list.SetListOption(&initial, 0, TRUE);
        CCategoryEditor editor;
        CPropertySheet sheet(CString(L"일정"));
        sheet.AddPage(&list);
        sheet.AddPage(&editor);
        ZuModalHandlerScope scope([&](QDialog& d) {
            QImage frame(d.size(), QImage::Format_ARGB32_Premultiplied);
            d.render(&frame);
            rows = list.GetRowCount();
        });
        sheet.DoModal();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_OpenCategorySheet)->Unit(benchmark::kMillisecond);

}  // namespace

ZU_QT_BENCHMARK_MAIN()
