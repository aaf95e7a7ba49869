#include "contactfields.h"

#include "contactdata.h"
#include "contactrules.h"
#include "pimstore.h"
#include "recordlayouts.h"
#include "stringtable.h"

#include <array>
#include <vector>

namespace {

constexpr ZuCardRow kRows[] = {
    {14, 0x3A16, ZuCardRow::Text},
    {16, 0x3A18, ZuCardRow::Text},
    {15, 0x3A17, ZuCardRow::Text},
    {17, 0x3A08, ZuCardRow::Text},
    {19, 0x3A1C, ZuCardRow::Text},
    {18, 0x3A24, ZuCardRow::Text},
    {20, 0x4083, ZuCardRow::Text},
    {21, 0x3A09, ZuCardRow::Text},
    {22, 0x3A25, ZuCardRow::Text},
    {23, 0x4045, ZuCardRow::Address},
    {24, 0x4008, ZuCardRow::Text},
    {25, 0x3A19, ZuCardRow::Text},
    {26, 0x4040, ZuCardRow::Address},
    {27, 0x0016, ZuCardRow::Categories},
    {28, 0x4009, ZuCardRow::Text},
    {40, 0x404A, ZuCardRow::Address},
    {29, 0x3A1E, ZuCardRow::Text},
    {30, 0x4007, ZuCardRow::Text},
    {31, 0x3A2F, ZuCardRow::Text},
    {32, 0x3A1D, ZuCardRow::Text},
    {33, 0x4093, ZuCardRow::Text},
    {34, 0x40AE, ZuCardRow::Text},
    {35, 0x4004, ZuCardRow::Text},
    {36, 0x4001, ZuCardRow::Date},
    {37, 0x4003, ZuCardRow::Date},
    {38, 0x400A, ZuCardRow::Text},
    {39, 0x4006, ZuCardRow::Text},
};

struct FieldSpec {
    const wchar_t* label;
    WORD ident;  // 0: a group heading
    WORD type;
    int display;
};

constexpr WORD S = CEVT_LPWSTR;
constexpr FieldSpec kFields[ZU_CONTACT_FIELDS] = {
    {L"표시이름", 0, 0, 1},
    {L"제목", 0x4023, S, 0}, {L"성", 0x3A11, S, 0}, {L"중간이름", 0x4024, S, 0}, {L"이름", 0x3A06, S, 0},
    {L"부가설명", 0x3A05, S, 0},
    {L"회사", 0x3A16, S, 1}, {L"직함", 0x3A17, S, 1}, {L"부서", 0x3A18, S, 1}, {L"회사전화", 0x3A08, S, 1},
    {L"회사팩스", 0x3A24, S, 1}, {L"핸드폰", 0x3A1C, S, 1}, {L"이메일", 0x4083, S, 1}, {L"집전화", 0x3A09, S, 1},
    {L"카테고리", 0x0016, CEVT_BLOB, 1},
    {L"집주소", 0, 0, 1},
    {L"우편번호", 0x4043, S, 1}, {L"시/도", 0x4042, S, 1}, {L"구/군/시", 0x4041, S, 1}, {L"주소", 0x4040, S, 1},
    {L"국적", 0x4044, S, 1},
    {L"사무실위치", 0x3A19, S, 1},
    {L"회사주소", 0, 0, 1},
    {L"우편번호", 0x4048, S, 1}, {L"시/도", 0x4047, S, 1}, {L"구/군/시", 0x4046, S, 1}, {L"주소", 0x4045, S, 1},
    {L"국적", 0x4049, S, 1},
    {L"집팩스", 0x3A25, S, 1}, {L"웹페이지", 0x4008, S, 1}, {L"이메일2", 0x4093, S, 1}, {L"이메일3", 0x40AE, S, 1},
    {L"다른주소", 0, 0, 1},
    {L"우편번호", 0x404D, S, 1}, {L"시/도", 0x404C, S, 1}, {L"구/군/시", 0x404B, S, 1}, {L"주소", 0x404A, S, 1},
    {L"국적", 0x404E, S, 1},
    {L"호출기", 0x4009, S, 1}, {L"차량전화", 0x3A1E, S, 1}, {L"회사전화2", 0x4007, S, 1}, {L"라디오전화", 0x3A1D, S, 1},
    {L"비서", 0x4002, S, 1}, {L"비서전화", 0x4004, S, 1},
    {L"생일", 0x4001, CEVT_FILETIME, 1}, {L"기념일", 0x4003, CEVT_FILETIME, 1},
    {L"배우자", 0x400A, S, 1}, {L"자녀", 0x4006, S, 1},
    {L"사진", 0x8200, S, 1},
};

}  // namespace

std::span<const ZuCardRow> ZuCardRows()
{
    return kRows;
}

CString ZuCardRowLabel(const ZuCardRow& row)
{
    return ZuLoadString(row.labelId, ZuModule::Contact);
}

CString ZuCardRowValue(const CContactData& data, const ZuCardRow& row)
{
    switch (row.kind) {
    case ZuCardRow::Address: return ZuJoinAddress(data, row.prop);
    case ZuCardRow::Date: return ZuContactDateText(data, row.prop);
    case ZuCardRow::Categories: {
        if (data.GetCategories().empty())
            return CString();
        const CEBLOB blob = ZuBlobOf(data.GetCategories());
        return GetDBCategoryBlob2Str(&blob);
    }
    case ZuCardRow::Text: break;
    }
    return data.GetString(row.prop);
}

std::vector<CString> ZuCardHeaderLines(const CContactData& data)
{
    std::vector<CString> lines;
    for (const WORD ident : {ZUID_CON_COMPANY, ZUID_CON_DEPARTMENT, ZUID_CON_JOB_TITLE, ZUID_CON_WORK_TEL, ZUID_CON_MOBILE_TEL})
        if (data.Has(ident))
            lines.push_back(data.GetString(ident));
    return lines;
}

std::span<const CFieldInfo> ZuContactFieldInfos()
{
    static const std::vector<CFieldInfo> table = [] {
        std::vector<CFieldInfo> t(ZU_CONTACT_FIELDS);
        CFieldInfo* group = nullptr;
        for (int i = 0; i < ZU_CONTACT_FIELDS; ++i) {
            const FieldSpec& f = kFields[i];
            const bool heading = f.ident == 0;
            // Parts follow their heading up to the next field that is no address or name part.
            const bool part = !heading && group
                && ((f.ident >= 0x4040 && f.ident <= 0x404E) || (i >= 1 && i <= 5));
            if (!heading && !part)
                group = nullptr;
            t[i].SetFieldInfo(f.label, heading ? 0 : MAKEPROPID(f.ident, f.type), f.display, heading && i != 0,
                part ? group : nullptr, nullptr);
            if (heading)
                group = &t[i];
            else if (part && !group->GetChildInfo())
                group->SetChildInfo(&t[i]);
        }
        return t;
    }();
    return table;
}

CString ZuFieldText(const CContactData& data, const CFieldInfo& field)
{
    const WORD ident = ZuFieldIdent(field);
    if (ident == 0) {
        if (!field.GetChildInfo())
            return CString();
        const WORD first = ZuFieldIdent(*field.GetChildInfo());
        if (first == ZUID_CON_TITLE)
            return ZuComposeDisplayName(data);
        // The group's street is the fourth part (postal, state, city, street, country).
        return ZuJoinAddress(data, static_cast<WORD>(first - 3));
    }
    if (ident == ZUID_CON_CATEGORIES)
        return ZuCardRowValue(data, ZuCardRow{27, ident, ZuCardRow::Categories});
    if (ident == ZUID_CON_BIRTHDAY || ident == ZUID_CON_ANNIVERSARY) {
        const QDate d = data.GetDate(ident);
        CString text;
        if (d.isValid())
            text.Format(L"%d-%02d-%02d", d.year(), d.month(), d.day());
        return text;
    }
    return data.GetString(ident);
}
