#include "Persist.h"

#include <algorithm>

const TIdentList BooleanIdents = {"False", "True"};

TPropertyTable::TPropertyTable(const TPropertyTable *parent, std::vector<TPropInfo> own)
    : mParent(parent), mOwn(std::move(own))
{
    if (mParent)
        mAll = mParent->all();
    for (const TPropInfo &p : mOwn)
        mAll.push_back(&p);
}

const TPropInfo *TPropertyTable::find(const QByteArray &name) const
{
    for (const TPropInfo *p : mAll)
        if (p->name.compare(name, Qt::CaseInsensitive) == 0)
            return p;
    return nullptr;
}

void TPersistent::WriteDefinedProperties(PropertyWriter &, const QByteArray &) const {}

bool TPersistent::ReadDefinedProperty(PropertyReader &, const QByteArray &)
{
    return false;
}

const TPropertyTable &TCollection::Properties() const
{
    static const TPropertyTable table(nullptr, {});
    return table;
}

TPersistent *TCollection::Add()
{
    mItems.push_back(mFactory());
    return mItems.back().get();
}

TComponent::TComponent(TComponent *owner)
{
    if (owner)
        owner->insertComponent(this);
}

TComponent::~TComponent()
{
    for (TComponent *c : mComponents)
        c->mOwner = nullptr;
    if (mOwner)
        mOwner->removeComponent(this);
}

void TComponent::SetName(const QString &name)
{
    mName = name;
}

TComponent *TComponent::FindComponent(const QString &name) const
{
    if (name.isEmpty())
        return nullptr;
    for (TComponent *c : mComponents)
        if (c->mName.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

void TComponent::SetParentComponent(QObject *) {}
void TComponent::FinishLoading() {}
void TComponent::SetChildOrder(int) {}

bool TComponent::HasPublishedMethod(const QByteArray &) const
{
    return false;
}

void TComponent::insertComponent(TComponent *c)
{
    c->mOwner = this;
    mComponents.push_back(c);
}

void TComponent::removeComponent(TComponent *c)
{
    mComponents.erase(std::remove(mComponents.begin(), mComponents.end(), c), mComponents.end());
    c->mOwner = nullptr;
}

TClassRegistry &TClassRegistry::instance()
{
    static TClassRegistry registry;
    return registry;
}

void TClassRegistry::Register(const QByteArray &className, Factory factory)
{
    for (auto &entry : mFactories)
        if (entry.first == className) {
            entry.second = std::move(factory);
            return;
        }
    mFactories.emplace_back(className, std::move(factory));
}

bool TClassRegistry::Contains(const QByteArray &className) const
{
    return std::any_of(mFactories.begin(), mFactories.end(),
                       [&](const auto &e) { return e.first.compare(className, Qt::CaseInsensitive) == 0; });
}

TComponent *TClassRegistry::Create(const QByteArray &className, TComponent *owner) const
{
    for (const auto &entry : mFactories)
        if (entry.first.compare(className, Qt::CaseInsensitive) == 0)
            return entry.second(owner);
    throw EStreamError(QStringLiteral("Class %1 not found").arg(PrintableName(className)));
}

QString PrintableName(const QByteArray &name)
{
    QString out;
    out.reserve(name.size());
    for (const char ch : name) {
        const auto b = static_cast<unsigned char>(ch);
        if (b > 32 && b < 127 && b != '\\')
            out += QLatin1Char(ch);
        else
            out += QStringLiteral("\\x%1").arg(QString::number(b, 16).toUpper().rightJustified(2, QLatin1Char('0')));
    }
    return out;
}

QList<QByteArray> TClassRegistry::ClassNames() const
{
    QList<QByteArray> names;
    for (const auto &entry : mFactories)
        names.append(entry.first);
    return names;
}
