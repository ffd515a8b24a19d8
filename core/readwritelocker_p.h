#ifndef READWRITELOCKER_P_H
#define READWRITELOCKER_P_H

#include <QReadWriteLock>

#if defined(__SANITIZE_THREAD__)
#define CORE_THREAD_SANITIZER
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define CORE_THREAD_SANITIZER
#endif
#endif

#ifdef CORE_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

// Scoped shared and exclusive holds on a QReadWriteLock. Qt 5 locks are built without
// ThreadSanitizer, which then sees no order between the threads they serialise and reports
// the guarded data as raced; under it these lockers announce every acquire and release.
template<bool Exclusive>
class ReadWriteLocker
{
public:
    explicit ReadWriteLocker(QReadWriteLock &lock) : m_lock(lock)
    {
#ifdef CORE_THREAD_SANITIZER
        __tsan_mutex_pre_lock(&m_lock, flags);
#endif
        if (Exclusive)
            m_lock.lockForWrite();
        else
            m_lock.lockForRead();
#ifdef CORE_THREAD_SANITIZER
        __tsan_mutex_post_lock(&m_lock, flags, 0);
#endif
    }

    ~ReadWriteLocker()
    {
#ifdef CORE_THREAD_SANITIZER
        __tsan_mutex_pre_unlock(&m_lock, flags);
#endif
        m_lock.unlock();
#ifdef CORE_THREAD_SANITIZER
        __tsan_mutex_post_unlock(&m_lock, flags);
#endif
    }

    Q_DISABLE_COPY(ReadWriteLocker)

private:
#ifdef CORE_THREAD_SANITIZER
    static constexpr unsigned flags = Exclusive ? 0 : __tsan_mutex_read_lock;
#endif
    QReadWriteLock &m_lock;
};

using SharedLocker = ReadWriteLocker<false>;
using ExclusiveLocker = ReadWriteLocker<true>;

#endif // READWRITELOCKER_P_H
