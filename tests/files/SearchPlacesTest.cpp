#include "files/SearchPlaces.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

Volume volume(const char *path, const char *kind, bool ready = true)
{
    Volume v;
    v.mountPath = QString::fromUtf8(path);
    v.kind = QString::fromUtf8(kind);
    v.ready = ready;
    return v;
}

QStringList keys(const QList<SearchPlaces::Item> &items)
{
    QStringList list;
    for (const SearchPlaces::Item &item : items)
        list << item.key;
    return list;
}

const SearchPlaces::Folders kFolders{QStringLiteral("/home/u/Plocha"), QStringLiteral("/home/u/Dokumenty/"),
                                     QStringLiteral("/home/u/hledat")};

QList<SearchPlaces::Item> itemsOf(const QList<Volume> &volumes)
{
    return SearchPlaces::items(kFolders, VolumeTable::fromVolumes(volumes),
                               [](const Volume &v) { return QStringLiteral("V ") + v.mountPath; },
                               [](const QString &image) { return image != QLatin1String("ram"); });
}

} // namespace

TEST(SearchPlaces, ItemsWithoutNetworkVolumes)
{
    const QList<SearchPlaces::Item> items = itemsOf({volume("/", "drive"), volume("/home", "drive"), volume("/mnt/ram", "ram")});
    EXPECT_EQ(keys(items), QStringList({"desktop", "documents", "thisc", "local", "disk/", "disk/home", "custom", "choose"}));
    EXPECT_EQ(items[0].text, QStringLiteral("Plocha"));
    EXPECT_EQ(items[1].text, QStringLiteral("Dokumenty"));
    EXPECT_EQ(items[3].text, QStringLiteral("Místní pevné disky (/; /home)"));
    EXPECT_EQ(items[5].text, QStringLiteral("V /home"));
    EXPECT_EQ(items[5].image, QStringLiteral("drive"));
    EXPECT_EQ(items[5].indentation, 1);
    EXPECT_EQ(items[6].text, QStringLiteral("/home/u/hledat"));
    EXPECT_EQ(items[7].text, QStringLiteral("Vybrat…"));
    EXPECT_TRUE(items[7].image.isEmpty());
}

TEST(SearchPlaces, NetworkVolumesGetTheirItem)
{
    const QList<SearchPlaces::Item> items = itemsOf({volume("/", "drive"), volume("/mnt/f", "netdrive"), volume("/mnt/g", "netdrive")});
    ASSERT_EQ(keys(items).indexOf("netdrives"), 4);
    EXPECT_EQ(items[4].text, QStringLiteral("Připojené siťové disky (/mnt/f; /mnt/g)"));
}

TEST(SearchPlaces, StartsByPlace)
{
    const VolumeTable table = VolumeTable::fromVolumes(
            {volume("/", "drive"), volume("/home", "drive"), volume("/mnt/s", "netdrive"), volume("/media/cd", "cdrom")});
    struct Case { const char *key; QStringList paths; bool ownVolume; };
    const Case cases[] = {
        {"desktop", {"/home/u/Plocha"}, false},
        {"documents", {"/home/u/Dokumenty/"}, false},
        {"custom", {"/jinde"}, false},
        {"thisc", {"/", "/home", "/media/cd", "/mnt/s"}, true},
        {"local", {"/", "/home"}, true},
        {"netdrives", {"/mnt/s"}, true},
        {"disk/media/cd", {"/media/cd"}, true},
        {"disk/media/gone", {"/media/gone"}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        QStringList paths;
        for (const SearchStart &start : SearchPlaces::starts(QString::fromUtf8(c.key), QStringLiteral("/jinde"), kFolders, table)) {
            paths << start.path;
            EXPECT_EQ(start.ownVolume, c.ownVolume);
        }
        EXPECT_EQ(paths, c.paths);
    }
}
