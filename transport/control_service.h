#pragma once
// One message connection: TPKT over a stream socket, a connection state, a
// client that receives whole messages and connection events, and Send for
// whole messages. The kinds (acceptor, connector) decide where the socket
// comes from. Losing the connection is completed from a deferred call, so
// the client's OnDisconnect never runs inside the socket layer's callback.

#include <string>

#include "core/dpc.h"
#include "core/fd.h"
#include "core/inet4_addr.h"
#include "core/measure.h"
#include "transport/protocol.h"
#include "transport/strm_protocol.h"

namespace Control {

class Notify {
 public:
  virtual ~Notify() = default;
  virtual void OnConnect() = 0;
  virtual void OnDisconnect() = 0;
  // One complete message without its TPKT header, valid during the call only.
  virtual void OnMessage(const char* data, int length) = 0;
};

class Service : public ProtocolsFamily {
 public:
  struct State {
    enum Type { Idle = 0, Connecting = 1, Deactivating = 2, Connected = 3 };
  };

  explicit Service(bool verbose = true);
  ~Service() override;

  void Bind(Notify* client) { client_ = client; }
  void UnBind() { client_ = nullptr; }

  bool Activate();
  void Deactivate();
  void Disconnect();
  void Send(const char* data, int length);
  void Release();

  State::Type state() const { return state_; }
  // The peer as A.B.C.D:PORT once connected.
  const std::string& peer_name() const { return name_; }
  unsigned GetOverflowCounter() const { return socket_->error_counter(); }
  const std::string& service_name() const { return socket_->display_name(); }
  const Measure& get_read_measure() const { return socket_->read_measure(); }
  const Measure& get_write_measure() const { return socket_->write_measure(); }
  StrmProtocol& socket_layer() { return *socket_; }

  void on_message(Packet& packet) override;
  void on_activated(Protocol* layer) override;
  void on_deactivated(Protocol* layer, const Protocol_status& status) override;
  void OnDeactivateDPC();

  virtual bool ImplActivate() = 0;
  virtual void ImplDeactivate() = 0;
  virtual void ImplOnDisconnect() = 0;

 protected:
  bool verbose() const { return verbose_; }
  void set_state(State::Type state) { state_ = state; }
  void set_name(const std::string& name) { name_ = name; }
  Notify* client() const { return client_; }

 private:
  bool verbose_;
  std::string name_;
  State::Type state_ = State::Idle;
  Notify* client_ = nullptr;
  StrmProtocol* socket_;
  Dpc deactivate_dpc_;
};

const char* GetTextNotation(Service::State::Type state);

class ServiceNet : public Service {
 public:
  using Service::Service;
  // A connected socket: keepalive and no Nagle, state Connected, reading
  // starts, then the client hears OnConnect.
  void Connected(Fd socket, const INet4::Addr& addr);
  const INet4::Addr& peer() const { return peer_; }

 private:
  INet4::Addr peer_;
};

}  // namespace Control
