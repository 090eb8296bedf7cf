#include "support/report/pagelines.h"

#include <map>

namespace tbk::report::test {

QList<QStringList> pageLines(const PreviewImageQueue &queue, int page) {
    std::map<int, std::multimap<int, QString>> byTop;
    for (const DrawItem &it : queue.page(page).items)
        if (it.kind == ElementKind::Text && !it.text.trimmed().isEmpty())
            byTop[it.rect.top()].emplace(it.rect.left(), it.text);
    QList<QStringList> lines;
    for (const auto &[top, texts] : byTop) {
        QStringList line;
        for (const auto &[x, text] : texts)
            line << text;
        lines << line;
    }
    return lines;
}

const DrawItem *findText(const PreviewImageQueue &queue, int page, const QString &text) {
    for (const DrawItem &it : queue.page(page).items)
        if (it.kind == ElementKind::Text && it.text == text)
            return &it;
    return nullptr;
}

} // namespace tbk::report::test
