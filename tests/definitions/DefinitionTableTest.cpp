// DefinitionTable against a plain ordered map: random inserts and erases over a small name
// space, so that probe runs of the hash index collide, wrap around and close up again.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "definitions/DefinitionTable.h"

namespace zel {
namespace {

void ExpectSame(const VariableTable& table, const std::map<std::string, std::string>& reference)
{
    ASSERT_EQ(table.Size(), reference.size());
    auto it = reference.begin();
    for (const auto& [name, record] : table.Entries()) {
        ASSERT_EQ(name, it->first);
        ASSERT_EQ(record.value, it->second);
        ++it;
    }
    for (int i = 0; i < 400; ++i) {
        const std::string name = "n" + std::to_string(i);
        const Variable* found = table.Find(name);
        ASSERT_EQ(found != nullptr, reference.contains(name)) << name;
        if (found) {
            ASSERT_EQ(found->value, reference.at(name));
        }
    }
}

TEST(DefinitionTable, AgreesWithAnOrderedMap)
{
    std::mt19937 random(20240607);
    VariableTable table;
    std::map<std::string, std::string> reference;
    for (int step = 0; step < 30000; ++step) {
        const std::string name = "n" + std::to_string(random() % 400);
        const unsigned action = random() % 100;
        if (action < 55) {
            table.Insert(name).value = std::to_string(step);
            reference[name] = std::to_string(step);
        } else if (action < 99) {
            ASSERT_EQ(table.Erase(name), reference.erase(name) == 1) << name;
        } else {
            const std::string prefix = "n" + std::to_string(random() % 10);
            auto match = [&](const std::string& n) { return n.starts_with(prefix); };
            table.EraseIf(match);
            std::erase_if(reference, [&](const auto& entry) { return match(entry.first); });
        }
        if (step % 500 == 0) ExpectSame(table, reference);
    }
    ExpectSame(table, reference);
}

TEST(DefinitionTable, RecordsStayInPlaceWhileTheIndexGrows)
{
    VariableTable table;
    Variable* first = &table.Insert("first");
    for (int i = 0; i < 5000; ++i) table.Insert("name" + std::to_string(i));
    EXPECT_EQ(&table.Insert("first"), first);
    EXPECT_EQ(table.Find("first"), first);
    EXPECT_EQ(table.Find(""), nullptr);
    EXPECT_EQ(VariableTable().Find("x"), nullptr);
}

}  // namespace
}  // namespace zel
