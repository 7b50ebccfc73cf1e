#include "programplan.h"

using namespace DeviceMap;

ProgramPlan ProgramPlan::Of(const MemoryImage& image, bool flash, bool eeprom) {
    ProgramPlan plan;
    const auto take = [&](int first, int end) {
        for (const int word : image.Words(first, end)) plan.file.Set(word, image.Word(word));
    };
    if (flash) take(kFirstAppWord, kFlashWords);
    if (eeprom) take(kEepromWord, kEndWord);
    plan.rows = plan.file.Rows(kFirstAppWord, kFlashWords);
    return plan;
}

MemoryImage ProgramPlan::Expected(const MemoryImage& base) const {
    MemoryImage expected;
    for (const int row : rows)
        for (int word = row; word < row + kRowWords; ++word)
            expected.Set(word, file.Has(word) ? file.Word(word) : base.Word(word));
    for (const int word : file.Words(kEepromWord, kEndWord)) expected.Set(word, file.Word(word));
    return expected;
}

QList<int> ProgramPlan::OtherRows() const {
    QList<int> others;
    for (int row = kFirstAppWord; row < kFlashWords; row += kRowWords)
        if (!rows.contains(row)) others.append(row);
    return others;
}
