#include "scanner/ConditionStack.h"

#include <algorithm>

namespace ut {

std::vector<std::string> ConditionTexts(const TCondition* innermost) {
    std::vector<std::string> texts;
    for (const TCondition* c = innermost; c; c = c->Outer.get())
        texts.push_back(c->Text);
    std::reverse(texts.begin(), texts.end());
    return texts;
}

const std::shared_ptr<const TCondition>& TConditionStack::Current() const {
    static const std::shared_ptr<const TCondition> none;
    return FFrames.empty() ? none : FFrames.back().condition;
}

void TConditionStack::Read(std::string text) {
    Frame& top = FFrames.back();
    if (!top.reading)
        --FNotReading;
    top.reading = true;
    top.decided = true;
    std::shared_ptr<const TCondition> outer =
        FFrames.size() > 1 ? FFrames[FFrames.size() - 2].condition : nullptr;
    top.condition =
        std::make_shared<const TCondition>(TCondition{std::move(text), std::move(outer)});
}

void TConditionStack::Skip() {
    Frame& top = FFrames.back();
    if (top.reading)
        ++FNotReading;
    top.reading = false;
    top.condition.reset();
}

void TConditionStack::Open(bool take, std::string text) {
    const bool skipped = Skipping();
    Frame f;
    f.decided = skipped;
    f.openText = text;
    FFrames.push_back(std::move(f));
    ++FNotReading; // a chain starts out not reading
    if (take && !skipped)
        Read(std::move(text));
}

bool TConditionStack::Undecided() const {
    return !FFrames.back().decided;
}

void TConditionStack::Branch(bool take, bool isElse, std::string text) {
    Frame& top = FFrames.back();
    if (isElse) {
        top.elseSeen = true;
        text = "ELSE of " + top.openText;
    }
    const bool read = take && !top.decided;
    Skip();
    if (read)
        Read(std::move(text));
}

void TConditionStack::Close() {
    if (!FFrames.back().reading)
        --FNotReading;
    FFrames.pop_back();
}

void TConditionStack::Clear() {
    FFrames.clear();
    FNotReading = 0;
}

} // namespace ut
