#pragma once

#include <iapplicationadapter.h>

#include <QStringList>
#include <functional>

// Stands in front of the process-wide adapter and keeps every log line the sandbox hands
// over (method 8); other calls go to `answer` or on to the adapter behind it, if any.
class LogRecorder : public IApplicationAdapter
{
public:
    explicit LogRecorder(IApplicationAdapter *inner = nullptr) : m_inner(inner) { SetApplicationAdapter(this); }
    ~LogRecorder() override
    {
        if (GetApplicationAdapter() == this)
            SetApplicationAdapter(nullptr);
    }

    bool call(int method, const QVariantList &arguments, QVariantList &results) override
    {
        if (method == Method_Log) {
            levels << arguments.value(0).toInt();
            lines << arguments.value(1).toString();
            if (onLine)
                onLine(lines.last());
        }
        if (answer)
            return answer(method, results);
        return m_inner ? m_inner->call(method, arguments, results) : false;
    }
    KEssAppAdapterProxy *proxy() override { return m_inner ? m_inner->proxy() : nullptr; }

    int count(const QString &text) const { return lines.filter(text).size(); }
    bool has(const QString &text) const { return count(text) > 0; }
    void clear()
    {
        lines.clear();
        levels.clear();
    }

    QStringList lines;
    QList<int> levels;
    std::function<void(const QString &)> onLine;
    std::function<bool(int method, QVariantList &results)> answer;

private:
    IApplicationAdapter *m_inner;
};
