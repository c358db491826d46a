#pragma once

#include <QIODevice>

// Passes writes on to another device until `limit` bytes have gone through, then fails, as a
// full disk or a pulled stick would.
class FailAfterDevice : public QIODevice {
public:
    FailAfterDevice(QIODevice& target, qint64 limit) : target_(target), left_(limit) {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (left_ <= 0) {
            return -1;
        }
        const qint64 now = qMin(size, left_);
        const qint64 written = target_.write(data, now);
        left_ -= written;
        return written;
    }

private:
    QIODevice& target_;
    qint64 left_;
};
