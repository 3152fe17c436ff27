#pragma once

#include <QtGlobal>

#include <memory>

class QTranslator;

// Makes every text that Qt itself shows Chinese, whatever the system's locale: the
// buttons of the message boxes (确定, 是(Y), 否(N)) and the context menus of the text
// boxes (撤销, 剪切, 复制, 粘贴, 全选). Qt's own Simplified Chinese translation is
// built into the program, so it needs nothing installed beside it. The texts are
// in force while the object lives; it needs an application object.
class ChineseTranslations final
{
public:
    ChineseTranslations();
    ~ChineseTranslations();
    Q_DISABLE_COPY_MOVE(ChineseTranslations)

private:
    std::unique_ptr<QTranslator> m_qt;
    std::unique_ptr<QTranslator> m_wording;
};
