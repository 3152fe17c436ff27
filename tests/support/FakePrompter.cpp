#include "support/FakePrompter.h"

BoxAnswer FakePrompter::show(const QString& prompt, BoxStyle style)
{
    prompts.append({prompt, style});
    if (onShow)
        onShow(prompts.last());
    if (style == BoxStyle::Information)
        return BoxAnswer::Ok;
    return answers.isEmpty() ? BoxAnswer::No : answers.dequeue();
}
