#include "app/ChineseTranslations.h"

#include <QCoreApplication>
#include <QTranslator>

#include <cstring>

namespace {

// Where Qt's translation still says 撤消 for "undo", current Chinese software says 撤销.
class WordingTranslator final : public QTranslator
{
public:
    [[nodiscard]] QString translate(const char* context, const char* sourceText, const char* disambiguation,
                                    int n) const override
    {
        Q_UNUSED(context);
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (sourceText != nullptr && std::strcmp(sourceText, "&Undo") == 0)
            return QStringLiteral("撤销(&U)");
        return {};
    }

    [[nodiscard]] bool isEmpty() const override { return false; }
};

} // namespace

ChineseTranslations::ChineseTranslations()
    : m_qt(std::make_unique<QTranslator>()), m_wording(std::make_unique<WordingTranslator>())
{
    // Built in by the build: a failure here is a broken build, caught by the tests.
    if (m_qt->load(QStringLiteral(":/tamborel/translations/qtbase_zh_CN.qm")))
        QCoreApplication::installTranslator(m_qt.get());
    // Installed last, so consulted first.
    QCoreApplication::installTranslator(m_wording.get());
}

ChineseTranslations::~ChineseTranslations()
{
    QCoreApplication::removeTranslator(m_wording.get());
    QCoreApplication::removeTranslator(m_qt.get());
}
