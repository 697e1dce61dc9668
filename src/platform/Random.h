#pragma once

#include <QRandomGenerator>
#include <cstdint>

// Source of random draws: the system's strong generator in production, a seeded one in tests.
class Random {
public:
    virtual ~Random() = default;
    // Uniform in [0, bound).
    virtual std::uint32_t bounded(std::uint32_t bound) = 0;
};

class SystemRandom : public Random {
public:
    std::uint32_t bounded(std::uint32_t bound) override { return QRandomGenerator::system()->bounded(bound); }
};

class SeededRandom : public Random {
public:
    explicit SeededRandom(quint32 seed) : m_gen(seed) {}
    std::uint32_t bounded(std::uint32_t bound) override { return m_gen.bounded(bound); }

private:
    QRandomGenerator m_gen;
};
