#pragma once

#include "platform/fx/Image.h"
#include "platform/pdf/PdfPage.h"

#include <QImage>
#include <QMutex>
#include <QPointer>
#include <QSizeF>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>

// A picture that may be large and one of many: kept in a private temporary file, decoded in memory
// only until its release delay after the last access has passed, and rebuilt from the file on the
// next access. A PDF file is kept as a vector picture and drawn at the size asked for. Pictures
// are handed out in sRGB: converted when they carry another colour space, tagged when they carry none.
// Safe to use from any thread; the release timer runs on the GUI thread.
class QSCachedImage : public std::enable_shared_from_this<QSCachedImage>
{
public:
    // Null for a null image.
    static std::shared_ptr<QSCachedImage> cachedNSImage(const QImage &image, int strategy);
    // Null (and a warning) when the file holds no picture that can be read; with strategy 1,
    // which decodes nothing yet, a file whose header no reader knows.
    static std::shared_ptr<QSCachedImage> cachedImageURL(const QUrl &url, int strategy);
    static std::shared_ptr<QSCachedImage> cachedImageFile(const QString &path, int strategy);
    ~QSCachedImage();
    QSCachedImage(const QSCachedImage &) = delete;
    QSCachedImage &operator=(const QSCachedImage &) = delete;

    // The picture at its own size (a vector picture at one pixel per point); restarts the delay.
    QImage nsImage();
    // The same, except that a vector picture below 1536 on its longer side is drawn at 1536.
    QImage cgImage();
    // cgImage as an image recipe, kept until the release; cachedCIImage does not restart the
    // delay, ciImage does.
    platform::fx::Image cachedCIImage();
    platform::fx::Image ciImage();
    // A vector picture drawn anew when the size is larger than the kept one; null (and a warning)
    // when that drawing would not fit in memory.
    platform::fx::Image ciImageForSize(const QSizeF &size);

    // From the temporary file, read once (see QSImageMetadata); null for an absent key, or when
    // the file gives no properties, which are then read again on the next call.
    QVariant metaDataForKey(const QString &key);
    QVariant exifdataForKey(const QString &key);
    QVariant tiffdataForKey(const QString &key);

    // The derived values, got on first use and then kept for the object's life.
    bool isVectorial();
    bool hasTransparency();
    // The raw test behind isVectorial: the picture was read from a PDF.
    bool hasVectorialRepresentation();
    // Gets the derived values not yet got; returns at once while a run is under way.
    void getImageProperties();
    // Set while the derived values are being got.
    bool gettingProperties() const;
    void setGettingProperties(bool getting);
    bool isCached() const;
    // The private temporary file; empty while there is none.
    QUrl imageURL() const;

    // Copies the temporary file to the URL with its extension replaced by the file's own; an
    // existing file there is not replaced.
    bool writeToURL(const QUrl &url, QString *error = nullptr);
    // Writes the picture to a temporary file ("png" with transparency, else "jpg") unless there is
    // one. False when the write failed: the picture then stays in memory.
    bool writeToDisk();
    // A new empty file "<random>.<extension>" in the private temporary folder; empty on failure.
    static QUrl saveURLWithExtension(const QString &extension);

    // 0 and 3: 300 s; 1: the next pass of the event loop; 2: 60 s; 4: never; any other: 300 s.
    int cacheStrategy() const;
    void setCacheStrategy(int strategy);
    void updateCacheStrategy();
    // Drops the pictures held in memory when the temporary file can give them back.
    void cacheTimed();
    static std::optional<std::chrono::milliseconds> releaseDelay(int strategy);
    // Multiplies every release delay, so that tests need not wait minutes.
    static void setReleaseTimeScale(double scale);

    // Stored for callers; this class does not read it.
    bool preventColorCorrection() const;
    void setPreventColorCorrection(bool prevent);

    // The picture held in memory as it is, null while released: neither loads nor restarts the delay.
    QImage storedImage() const;
    void setStoredImage(const QImage &image);
    void setCachedCIImage(const platform::fx::Image &image);

private:
    QSCachedImage() = default;
    bool initWithNSImage(const QImage &image);
    bool initWithImageAtURL(const QUrl &url, int strategy);

    // The *Locked members expect m_mutex to be held.
    QImage nsImageLocked();
    QImage cgImageLocked();
    platform::fx::Image cachedCIImageLocked();
    bool loadLocked(const QString &path);
    bool hasVectorialRepresentationLocked();
    QImage drawVectorLocked(double scale);
    QVariant metaDataLocked(const QString &key);
    QVariant dictionaryValueLocked(std::optional<QVariantMap> &dictionary, const QString &name, const QString &key);
    void getImagePropertiesLocked();
    bool writeToDiskLocked();
    void restartTimerLocked();
    void deleteTemporaryFileLocked();

    mutable QMutex m_mutex;
    int m_cacheStrategy = 0;
    QUrl m_imageURL;
    QPointer<QTimer> m_cacheTimer;
    std::optional<QVariantMap> m_metadata;
    std::optional<QVariantMap> m_exifData;
    std::optional<QVariantMap> m_tiffData;
    std::optional<bool> m_hasTransparency;
    std::optional<bool> m_isVectorial;
    bool m_preventColorCorrection = false;
    // Read before the lock is taken.
    std::atomic<bool> m_gettingProperties = false;
    QImage m_storedImage;
    platform::fx::Image m_cachedCIImage;
    std::optional<platform::PdfPage> m_vectorPage;
};
