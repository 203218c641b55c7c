#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>

namespace tavrin {

// What request bodies may be held in memory at once, from the moment a request's head is
// admitted until it is answered. Only clients that passed every check of their head send one, so
// the admin API, whose only client is the holder of the password, has an allowance of its own:
// no amount of inference traffic can make it wait. On the client surface, one key and one peer
// may hold only part of the allowance, so that a key holder who trickles slow bodies keeps the
// others' requests neither waiting nor refused. Touched from the server's I/O thread only.
class BodyAllowance {
public:
    struct Limits {
        // Admin bodies are small (a label, settings, the preamble) and a handful of workers handle
        // them; this is room for eight at the largest size a body may have.
        std::size_t admin = 8 * 1024 * 1024;
        // The client surface, all connections together.
        std::size_t client = 64 * 1024 * 1024;
        // A quarter for a key: it takes four keys, not one careless or hostile client, to fill
        // the allowance, while a key alone still has room for sixteen of the largest bodies.
        std::size_t perKey = 16 * 1024 * 1024;
        // Half for a peer: one machine holding several keys still leaves the others half.
        std::size_t perPeer = 32 * 1024 * 1024;
    };

    explicit BodyAllowance(Limits limits) : m_limits(limits) {}

    // Holds `bytes` of the allowance until destroyed or released.
    class Reservation {
    public:
        Reservation(Reservation&& other) noexcept;
        Reservation& operator=(Reservation&& other) noexcept;
        Reservation(const Reservation&) = delete;
        Reservation& operator=(const Reservation&) = delete;
        ~Reservation() { release(); }

        void release();

    private:
        friend class BodyAllowance;
        Reservation(BodyAllowance* owner, bool admin, std::string key, std::string peer, std::size_t bytes)
            : m_owner(owner), m_admin(admin), m_key(std::move(key)), m_peer(std::move(peer)), m_bytes(bytes) {}

        BodyAllowance* m_owner;
        bool m_admin;
        std::string m_key;
        std::string m_peer;
        std::size_t m_bytes;
    };

    // Nothing when the body does not fit now: the request is then refused before it is read.
    std::optional<Reservation> reserveAdmin(std::size_t bytes);
    // `key`: the id of the key the request comes with (requests without one share ""); `peer`:
    // the client's peerGroup().
    std::optional<Reservation> reserveClient(std::size_t bytes, const std::string& key, const std::string& peer);

    // One machine: an IPv4 address, or the /64 an IPv6 one belongs to (a host commonly has one
    // whole and may pick any address in it).
    static std::string peerGroup(const std::string& plainAddress);

private:
    void give(const Reservation& reservation);

    Limits m_limits;
    std::size_t m_admin = 0;
    std::size_t m_client = 0;
    std::map<std::string, std::size_t> m_byKey; // only those holding something
    std::map<std::string, std::size_t> m_byPeer;
};

} // namespace tavrin
