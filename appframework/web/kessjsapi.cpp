#include "kessjsapi.h"

#include "iapplicationadapter.h"
#include "kesslog.h"
#include "kesssandbox.h"

#include <QJsonArray>
#include <QLibrary>
#include <QMultiMap>
#include <QThread>

#include <mutex>
#include <vector>

namespace {

const int kHandlerType = qRegisterMetaType<KEssJsApiHandler *>("KEssJsApiHandler*");
const QString kBuiltinLibrary = QStringLiteral("kappessbuiltinjsapi");
const QString kDefaultProfile = QStringLiteral("1_0");

std::mutex g_factoriesMutex;
std::vector<std::unique_ptr<KEssJsApiAppFactory>> g_applicationFactories;

struct Listener
{
    QString callback;
    bool base64 = false;
};

QString builtinLibraryFile(const KEssSandbox *sandbox)
{
    for (const KEssDependency &dependency : sandbox->info().dependencies) {
        if (dependency.name == kBuiltinLibrary)
            return dependency.file;
    }
    return QString();
}

QJsonArray profilesOf(const QList<KEssJsApiFactory *> &factories)
{
    QJsonArray names;
    for (const KEssJsApiFactory *factory : factories)
        names.append(factory->profile());
    return names;
}

KxWebViewJSArgRule text(const char *name, int maxLength, bool required = false)
{
    KxWebViewJSArgRule rule;
    rule.name = QLatin1String(name);
    rule.maxLength = maxLength;
    rule.required = required;
    return rule;
}

} // namespace

const char *const KEssJsApi::kApplicationHandler = "thisapplication";

struct KEssJsApi::Data
{
    bool initialised = false;
    QJsonObject initAnswer;
    QMultiMap<QString, Listener> listeners;
    QString builtinProfile;
    QString applicationProfile;
    QList<KEssJsApiFactory *> builtinFactories; // the library's, freed by ReleaseLibrary
    QList<KEssJsApiFactory *> applicationFactories;
    std::vector<std::unique_ptr<KEssJsApiAppFactory>> ownFactories;
    QStringList installed; // handler names, removed before the library lets go
    std::unique_ptr<QLibrary> library;
};

KEssJsApi::KEssJsApi(QObject *parent)
    : KxWebViewAsynJSObject(parent)
    , d(std::make_unique<Data>())
{
    Q_UNUSED(kHandlerType);
    setArgumentRules();
    loadApiLibraries();
}

// The handlers are the library's objects: they go before the library frees what it made.
KEssJsApi::~KEssJsApi()
{
    for (const QString &name : qAsConst(d->installed))
        unregisterHandler(name);
    if (!d->library)
        return;
    const auto release = reinterpret_cast<ReleaseLibraryFn>(d->library->resolve("ReleaseLibrary"));
    if (release)
        release();
    else
        KESS_WARNING(QStringLiteral("Cannot find entry ReleaseLibrary(), resource maybe leak and causes some problems."));
}

void KEssJsApi::registerApplicationFactory(KEssJsApiAppFactory *factory)
{
    std::lock_guard<std::mutex> lock(g_factoriesMutex);
    g_applicationFactories.emplace_back(factory);
}

void KEssJsApi::clearApplicationFactories()
{
    std::lock_guard<std::mutex> lock(g_factoriesMutex);
    g_applicationFactories.clear();
}

void KEssJsApi::setArgumentRules()
{
    KxWebViewAsynJSObject::setArgumentRules(QStringLiteral("init"), {text("profile", 64), text("app_profile", 64)});
    KxWebViewAsynJSObject::setArgumentRules(QStringLiteral("info"), {});
    KxWebViewAsynJSObject::setArgumentRules(QStringLiteral("broadcastEvent"),
                                            {text("event", 256, true), text("data", 1 << 16)});
    KxWebViewJSArgRule id;
    id.name = QStringLiteral("id");
    id.type = KxWebViewJSArgRule::Integer;
    KxWebViewAsynJSObject::setArgumentRules(QStringLiteral("asyncCallDone"), {id});
}

void KEssJsApi::loadApiLibraries()
{
    {
        std::lock_guard<std::mutex> lock(g_factoriesMutex);
        for (const auto &factory : g_applicationFactories)
            d->applicationFactories.append(factory.get());
    }
    const KEssSandbox *sandbox = GetSandbox();
    if (!sandbox) {
        KESS_CRITICAL(QStringLiteral("There's no sandbox. You have to call CreateSandbox, otherwise you cannot load "
                                     "builtin js api."));
        return;
    }
    const QString file = builtinLibraryFile(sandbox);
    if (file.isEmpty()) {
        KESS_CRITICAL(QStringLiteral("Cannot find dependency '%1'.").arg(kBuiltinLibrary));
        return;
    }
    auto library = std::make_unique<QLibrary>(file);
    if (!library->load()) {
        KESS_CRITICAL(QStringLiteral("Cannot load library '") + file + QLatin1Char('\''));
        return;
    }
    d->library = std::move(library);
    const auto create = reinterpret_cast<CreateBuiltinApiFactoryFn>(d->library->resolve("CreateBuiltinApiFactory"));
    if (!create) {
        KESS_CRITICAL(QStringLiteral("Cannot resolve js api dll function CreateBuiltinApiFactory"));
        return;
    }
    int count = 0;
    KEssJsApiFactory **factories = create(&count);
    QStringList profiles;
    for (int i = 0; factories && i < count; ++i) {
        if (factories[i] && !profiles.contains(factories[i]->profile())) {
            profiles << factories[i]->profile();
            d->builtinFactories.append(factories[i]);
        }
    }
    const auto setAdapter =
        reinterpret_cast<SetGlobalApplicationAdapterFn>(d->library->resolve("SetGlobalApplicationAdapter"));
    if (!setAdapter) {
        KESS_CRITICAL(QStringLiteral("Cannot resolve js api dll function SetGlobalApplicationAdapter"));
        return;
    }
    setAdapter(GetApplicationAdapter());
}

void KEssJsApi::init(KxWebViewJSContext &context)
{
    if (d->initialised) { // the first answer stands; nothing changes
        context.publishResult(d->initAnswer);
        return;
    }
    context.publishResult(initialise(context.stringArg(QStringLiteral("profile")),
                                     context.stringArg(QStringLiteral("app_profile"))));
}

bool KEssJsApi::initProfiles(const QString &profile, const QString &appProfile)
{
    if (d->initialised)
        return false;
    return initialise(profile, appProfile).value(QStringLiteral("result")).toBool();
}

QJsonObject KEssJsApi::initialise(const QString &profile, const QString &appProfile)
{
    KESS_DEBUG(QStringLiteral("Builtin profile: ") + profile + QStringLiteral(". ") + QStringLiteral("App profile: ")
               + appProfile);
    const bool builtinOk = installBuiltin(profile.isEmpty() ? kDefaultProfile : profile);
    const bool applicationOk = appProfile.isEmpty() || installApplication(QString(appProfile).replace('.', '_'));
    d->initialised = true;
    d->initAnswer = {{QStringLiteral("builtin"), builtinOk},
                     {QStringLiteral("application"), applicationOk},
                     {QStringLiteral("builtinprofile"), d->builtinProfile},
                     {QStringLiteral("applicationprofile"), d->applicationProfile},
                     {QStringLiteral("result"), builtinOk && applicationOk}};
    return d->initAnswer;
}

void KEssJsApi::addApplicationFactory(std::unique_ptr<KEssJsApiAppFactory> factory)
{
    if (!factory)
        return;
    d->applicationFactories.prepend(factory.get());
    d->ownFactories.push_back(std::move(factory));
}

void KEssJsApi::clearEventListeners()
{
    d->listeners.clear();
}

bool KEssJsApi::installBuiltin(const QString &profile)
{
    d->builtinProfile = profile;
    for (KEssJsApiFactory *factory : qAsConst(d->builtinFactories)) {
        if (factory->profile() != profile)
            continue;
        KEssJsApiHandler *handler = factory->create(this);
        if (!handler)
            return false;
        const QString name = handler->objectName().isEmpty() ? QStringLiteral("builtin") : handler->objectName();
        registerHandler(name, handler);
        d->installed << name;
        return true;
    }
    return false;
}

bool KEssJsApi::installApplication(const QString &profile)
{
    d->applicationProfile = profile;
    const KEssSandbox *sandbox = GetSandbox();
    const QString appId = sandbox ? sandbox->info().appId : QString();
    for (KEssJsApiFactory *factory : qAsConst(d->applicationFactories)) {
        auto *application = static_cast<KEssJsApiAppFactory *>(factory);
        if (application->profile() != profile || !application->accepts(appId))
            continue;
        KEssJsApiHandler *handler = application->create(this);
        if (!handler)
            return false;
        registerHandler(QLatin1String(kApplicationHandler), handler);
        emit applicationJsSet(handler);
        return true;
    }
    return false;
}

void KEssJsApi::info(KxWebViewJSContext &context)
{
    context.publishResult(QJsonObject{{QStringLiteral("profiles"), profilesOf(d->builtinFactories)},
                                      {QStringLiteral("app_profiles"), profilesOf(d->applicationFactories)},
                                      {QStringLiteral("result"), true}});
}

void KEssJsApi::broadcastEvent(KxWebViewJSContext &context)
{
    broadcastEvent(context.stringArg(QStringLiteral("event")), context.stringArg(QStringLiteral("data")));
    context.publishResult(true);
}

void KEssJsApi::asyncCallDone(KxWebViewJSContext &context)
{
    KESS_DEBUG(QStringLiteral("asyncCallDone %1").arg(context.intArg(QStringLiteral("id"))));
    context.publishResult(true);
}

void KEssJsApi::addEventListener(const QString &event, const QString &callback, bool base64)
{
    d->listeners.insert(event, Listener{callback, base64});
    emit eventListenerAdded(event, callback, base64);
}

void KEssJsApi::removeEventListener(const QString &event, const QString &callback)
{
    for (auto it = d->listeners.find(event); it != d->listeners.end() && it.key() == event;) {
        if (it->callback == callback)
            it = d->listeners.erase(it);
        else
            ++it;
    }
}

bool KEssJsApi::hasEventListener(const QString &event) const
{
    return d->listeners.contains(event);
}

bool KEssJsApi::isInitialised() const
{
    return d->initialised;
}

// Re-posted to the object's own thread: the listeners and the page live there.
void KEssJsApi::broadcastEvent(const QString &event, const QString &data)
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, "broadcastEvent", Qt::QueuedConnection, Q_ARG(QString, event),
                                  Q_ARG(QString, data));
        return;
    }
    const QList<Listener> listeners = d->listeners.values(event);
    // values() lists the latest first; callbacks run in the order they were added.
    for (auto it = listeners.crbegin(); it != listeners.crend(); ++it) {
        if (!it->callback.isEmpty())
            callbackToJS(it->callback, data, it->base64);
    }
}

void KEssJsApi::doCallFunction(const QString &method, KxWebViewJSContext &context, QObject *target)
{
    KESS_DEBUG(method + QStringLiteral(" is called."));
    KxWebViewAsynJSObject::doCallFunction(method, context, target);
}
