#include "fieldinfo.h"

#include <gtest/gtest.h>

TEST(FieldInfo, CopiesOwnTheirNameAndShareTheLinks)
{
    CFieldInfo group(L"이름", 0, 1, 0, nullptr, nullptr);
    CFieldInfo child;
    EXPECT_EQ(child.GetName(), CString(L""));
    EXPECT_EQ(child.GetPropID(), 0u);
    EXPECT_EQ(child.GetParentInfo(), nullptr);
    EXPECT_EQ(child.SetFieldInfo(L"성", 0x3A06001F, 1, 1, &group, nullptr), 1);
    group.SetChildInfo(&child);

    CFieldInfo copy(child);
    CFieldInfo assigned;
    assigned = child;
    child.SetName(L"바뀜");
    for (const CFieldInfo* c : {&copy, &assigned}) {
        EXPECT_EQ(c->GetName(), CString(L"성"));
        EXPECT_EQ(c->GetPropID(), 0x3A06001Fu);
        EXPECT_EQ(c->IsDisplay(), 1);
        EXPECT_EQ(c->IsReadOnly(), 1);
        EXPECT_EQ(c->GetParentInfo(), &group);  // the same parent, not a copy of it
        EXPECT_EQ(c->GetChildInfo(), nullptr);
    }
    EXPECT_EQ(group.GetChildInfo(), &child);

    const CFieldInfo& same = assigned;
    assigned = same;  // self-assignment keeps the name
    EXPECT_EQ(assigned.GetName(), CString(L"성"));
    assigned.SetName(nullptr);
    EXPECT_EQ(assigned.GetName(), CString(L""));
}
