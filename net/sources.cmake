# Network model: packet framing, chunk reassembly, error texts, the peer
# protocol, the host list and destinations.  Standard library only.
list(APPEND RAVU_MODEL_SOURCES
  net/sock_owner.cpp
  net/packet.cpp
  net/packet_state.cpp
  net/sock_errors.cpp
  net/game_link.cpp
  net/peer_protocol.cpp
  net/host_list.cpp
)
