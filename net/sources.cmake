# Network model: packet framing, chunk reassembly, error texts, the peer
# protocol, the host list and destinations, the port forwarding line.  Standard library only.
add_library(ravu_net_model STATIC
  ${CMAKE_SOURCE_DIR}/net/sock_owner.cpp
  ${CMAKE_SOURCE_DIR}/net/packet.cpp
  ${CMAKE_SOURCE_DIR}/net/packet_state.cpp
  ${CMAKE_SOURCE_DIR}/net/sock_errors.cpp
  ${CMAKE_SOURCE_DIR}/net/game_link.cpp
  ${CMAKE_SOURCE_DIR}/net/peer_protocol.cpp
  ${CMAKE_SOURCE_DIR}/net/extension.cpp
  ${CMAKE_SOURCE_DIR}/net/refereed_game.cpp
  ${CMAKE_SOURCE_DIR}/net/heartbeat.cpp
  ${CMAKE_SOURCE_DIR}/net/adjournment.cpp
  ${CMAKE_SOURCE_DIR}/net/resume_game.cpp
  ${CMAKE_SOURCE_DIR}/net/review_game.cpp
  ${CMAKE_SOURCE_DIR}/net/host_list.cpp
  ${CMAKE_SOURCE_DIR}/net/port_map_status.cpp
)
target_include_directories(ravu_net_model PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ravu_net_model PUBLIC ravu_record ravu_game)
ravu_sjis_literals(ravu_net_model)
