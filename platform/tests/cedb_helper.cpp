// A second program on the same store, for the tests that need two processes.
//   cedb_helper write NAME N      writes N records into NAME, printing each object id
//   cedb_helper burst NAME        writes records until killed, printing each object id once written
//   cedb_helper trywrite NAME     writes one record; exit 0 when written, 3 (message on stderr) when not
#include "cedbdatabase.h"
#include "lasterror.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

static CCeDBRecord makeRecord(long n)
{
    CCeDBRecord rec;
    const std::wstring subject = L"record " + std::to_wstring(n);
    CCeDBProp p1(subject.c_str(), 0x0037);
    CCeDBProp p2(static_cast<LONG>(n), 0x4213);
    CCeDBProp p3(static_cast<LONG>(-n), 0x4214);  // pairs with 0x4213: together they show a whole record
    rec.AddProp(&p1);
    rec.AddProp(&p2);
    rec.AddProp(&p3);
    return rec;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const std::string mode = argv[1];
    const std::wstring name = QString::fromUtf8(argv[2]).toStdWString();
    CCeDBDatabase db;
    if (!db.Open(name.c_str())) {
        std::fprintf(stderr, "open failed: %s\n", ZuLastErrorText().toUtf8().c_str());
        return 3;
    }
    if (mode == "write" || mode == "burst") {
        const long count = mode == "write" && argc > 3 ? std::atol(argv[3]) : -1;
        for (long i = 1; count < 0 || i <= count; ++i) {
            const CEOID oid = db.WriteRecord(makeRecord(i), 0);
            if (!oid) {
                std::fprintf(stderr, "write failed: %s\n", ZuLastErrorText().toUtf8().c_str());
                return 3;
            }
            std::printf("%u\n", oid);
            std::fflush(stdout);
        }
        return 0;
    }
    if (mode == "trywrite") {
        if (!db.WriteRecord(makeRecord(1), 0)) {
            std::fprintf(stderr, "%s\n", ZuLastErrorText().toUtf8().c_str());
            return 3;
        }
        return 0;
    }
    return 2;
}
