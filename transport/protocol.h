#pragma once
// Protocol layers. Packets go down a stack of layers to the wire (message,
// transmit) and come up from it (receive, on_message); activation starts at
// the bottom and climbs; a successful deactivation travels down, an error
// travels up. A group of layers (ProtocolsList) is stacked in list order,
// the first-added at the bottom; a ProtocolsFamily behaves as one layer.

#include <ostream>

#include "transport/packet.h"
#include "transport/protocol_name.h"
#include "transport/protocol_status.h"

class ProtocolsList;

class Protocol_info {
 public:
  virtual ~Protocol_info() = default;
  virtual bool compare_name(const Protocol_name&) const { return false; }
  virtual const Protocol_name& name() const { return name_; }

 private:
  Protocol_name_null name_;
};

class Protocol : public Protocol_info {
 public:
  Protocol() = default;
  Protocol(const Protocol&) = delete;
  Protocol& operator=(const Protocol&) = delete;
  ~Protocol() override;

  virtual void local_prepare_head(Packet& packet);
  virtual void local_prepare_tail(Packet& packet);
  virtual Protocol_status local_initialize();
  virtual void local_activate();
  virtual void local_deactivate();
  // Sends downwards.
  virtual void transmit(Packet& packet);
  // Delivers upwards.
  virtual void on_message(Packet& packet);
  virtual void on_activate();
  virtual void on_deactivate(const Protocol_status& status);
  virtual void on_status(const Protocol_status& status);
  // A packet arriving from above / from below.
  virtual void message(Packet& packet);
  virtual void receive(Packet& packet);
  virtual void activate();
  virtual void deactivate();
  virtual void protocol_info(std::ostream& out) const;

  Protocol_status initialize();
  void prepare_head(Packet& packet);
  void prepare_tail(Packet& packet);

  Protocol* upper() const { return upper_; }
  Protocol* lower() const { return lower_; }
  ProtocolsList* group() const { return group_; }

 private:
  friend class ProtocolsList;
  Protocol* upper_ = nullptr;  // next in the group's list
  Protocol* lower_ = nullptr;  // previous in the group's list
  ProtocolsList* group_ = nullptr;
};

class ProtocolsList : public Protocol {
 public:
  ProtocolsList() = default;
  // Destroys the layers from the top (tail) down.
  ~ProtocolsList() override;

  virtual void on_activated(Protocol* layer);
  virtual void on_deactivated(Protocol* layer, const Protocol_status& status);
  // Takes ownership; head = bottom, tail = top.
  virtual void add_protocol_head(Protocol* layer);
  virtual void add_protocol_tail(Protocol* layer);

  Protocol* bottom() const { return head_; }
  Protocol* top() const { return tail_; }
  // Unlinks a layer without destroying it.
  void remove(Protocol* layer);

 private:
  Protocol* head_ = nullptr;
  Protocol* tail_ = nullptr;
};

class ProtocolsFamily : public ProtocolsList {
 public:
  void local_activate() override;
  void local_deactivate() override;
  void on_activated(Protocol* layer) override;
  void on_deactivated(Protocol* layer, const Protocol_status& status) override;
  void local_prepare_head(Packet& packet) override;
  void local_prepare_tail(Packet& packet) override;
  void message(Packet& packet) override;
  Protocol_status local_initialize() override;
};
