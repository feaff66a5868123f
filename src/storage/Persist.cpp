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
    if (name == mName)
        return;
    TComponent *owner = mOwner;
    if (owner)
        owner->unindexName(this);
    mName = name;
    if (owner)
        owner->indexName(this);
}

TComponent *TComponent::FindComponent(const QString &name) const
{
    if (name.isEmpty())
        return nullptr;
    const QString key = name.toCaseFolded();
    const auto it = mNameIndex.constFind(key);
    if (it == mNameIndex.cend())
        return nullptr;
    TComponent *found = it.value();
    if (mNameIndex.count(key) == 1)
        return found;
    // Several components share the name: the first in component order wins.
    for (TComponent *c : mComponents)
        if (c->mName.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return found;
}

QString TComponent::FirstFreeName(const QString &prefix, int first, int last)
{
    const QString folded = prefix.toCaseFolded();
    auto hint = std::find_if(mFreeHints.begin(), mFreeHints.end(), [&](const FreeHint &h) {
        return h.first == first && h.prefix == folded;
    });
    if (hint == mFreeHints.end())
        hint = mFreeHints.insert(mFreeHints.end(), FreeHint{folded, first, first});
    for (int n = std::max(first, hint->next); n <= last; ++n) {
        const QString candidate = prefix + QString::number(n);
        if (!mNameIndex.contains(candidate.toCaseFolded())) {
            hint->next = n;
            return candidate;
        }
    }
    hint->next = std::max(hint->next, last + 1);
    return QString();
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
    indexName(c);
}

void TComponent::removeComponent(TComponent *c)
{
    unindexName(c);
    // Objects go first to last or last to first: look at the ends first.
    if (!mComponents.empty() && mComponents.back() == c)
        mComponents.pop_back();
    else if (!mComponents.empty() && mComponents.front() == c)
        mComponents.pop_front();
    else
        mComponents.erase(std::remove(mComponents.begin(), mComponents.end(), c), mComponents.end());
    c->mOwner = nullptr;
}

void TComponent::indexName(TComponent *c)
{
    if (!c->mName.isEmpty())
        mNameIndex.insert(c->mName.toCaseFolded(), c);
}

void TComponent::unindexName(TComponent *c)
{
    if (c->mName.isEmpty())
        return;
    const QString key = c->mName.toCaseFolded();
    mNameIndex.remove(key, c);
    // A numbered name that comes free lowers the hint of its prefix.
    for (FreeHint &h : mFreeHints) {
        if (!key.startsWith(h.prefix))
            continue;
        bool isNumber = false;
        const int n = QStringView(key).mid(h.prefix.size()).toInt(&isNumber);
        if (isNumber && n >= h.first && n < h.next)
            h.next = n;
    }
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
