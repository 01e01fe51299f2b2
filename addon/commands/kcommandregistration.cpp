#include "kcommandregistration.h"

#include "kxexporttavroimagecommand.h"
#include "kxfilemenuexporttavroimagecommand.h"
#include "kxinserttavroimagecommand.h"
#include "kxopenwebtavrocommand.h"
#include "kxpdf2photocommand.h"
#include "kxsaveasexporttavroimagecommand.h"
#include "kxtavrocommand.h"
#include "kxtavrolistcommand.h"
#include "kxvyxtavrocontext.h"
#include "kxvyxtavrolayoutcommand.h"

#include <kcommandfactory.h>
#include <kcommandfactoryitem.h>
#include <kxmainwindow.h>

#include <memory>
#include <vector>

namespace {

template <class Command>
std::unique_ptr<KCommandFactoryItemBase> item(const char *name)
{
    return std::make_unique<KCommandFactoryItem<Command, KxMainWindow>>(name, "KxMainWindow");
}

// Lives as long as the module: registers at load, unregisters at unload.
class Registrar
{
public:
    Registrar()
    {
        add(item<KxExportTavroImageCommand>("KxExportTavroImageCommand"));
        add(item<KxFileMenuExportTavroImageCommand>("KxFileMenuExportTavroImageCommand"));
        add(item<KxInsertTavroImageCommand>("KxInsertTavroImageCommand"));
        add(item<KxOpenWebTavroCommand>("KxOpenWebTavroCommand"));
        add(item<KxPdf2PhotoCommand>("KxPdf2PhotoCommand"));
        add(item<KxSaveAsExportTavroImageCommand>("KxSaveAsExportTavroImageCommand"));
        add(item<KxTavroCommand>("KxTavroCommand"));
        add(item<KxTavroListCommand>("KxTavroListCommand"));
        add(item<KxVyxTavroContext>("KxVyxTavroContext"));
        add(item<KxVyxTavroLayoutCommand>("KxVyxTavroLayoutCommand"));
    }

    ~Registrar()
    {
        while (!m_items.empty()) {
            KCommandFactory::unregisterCommand(m_items.back().get());
            m_items.pop_back();
        }
    }

    QStringList names() const
    {
        QStringList result;
        for (const auto &registered : m_items)
            result.append(QString::fromLatin1(registered->className()));
        return result;
    }

private:
    void add(std::unique_ptr<KCommandFactoryItemBase> made)
    {
        // An item whose name is taken stays out, so unload never removes another module's.
        if (KCommandFactory::registerCommand(made.get()))
            m_items.push_back(std::move(made));
        else
            qWarning("Command %s is registered already", made->className().constData());
    }

    std::vector<std::unique_ptr<KCommandFactoryItemBase>> m_items;
};

const Registrar g_registrar;

} // namespace

QStringList kcommandregistration::names()
{
    return g_registrar.names();
}

bool kcommandregistration::allRegistered()
{
    const QStringList registered = names();
    if (registered.size() != 10)
        return false;
    for (const QString &name : registered) {
        if (!KCommandFactory::isRegistered(name))
            return false;
    }
    return true;
}
