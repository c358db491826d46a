#pragma once

#include <QIODevice>

// Passes writes on until `limit` bytes have gone through, then fails, as a full disk would.
class FailAfterDevice : public QIODevice {
public:
    FailAfterDevice(QIODevice& to, qint64 limit) : target_(to), left_(limit) { open(WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        const qint64 written = left_ > 0 ? target_.write(data, qMin(size, left_)) : -1;
        left_ -= qMax(written, qint64{0});
        return written;
    }

private:
    QIODevice& target_;
    qint64 left_;
};
