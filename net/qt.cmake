# Qt sockets: the packet connection, the game sockets, the host list fetch.
add_library(ravu_net STATIC
  net/packet_socket.h net/packet_socket.cpp
  net/game_socket.h net/game_socket.cpp
  net/list_socket.h net/list_socket.cpp
  net/guest_handshake.h net/guest_handshake.cpp
  net/reconnector.h net/reconnector.cpp
  net/headless_copy.h net/headless_copy.cpp
)
target_include_directories(ravu_net PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ravu_net PUBLIC Qt6::Core Qt6::Network ravu_net_model ravu_text)

# Port forwarding by the home router: UPnP-IGD through miniupnpc, NAT-PMP
# through libnatpmp (Debian: libminiupnpc-dev, libnatpmp-dev).
find_library(MINIUPNPC_LIBRARY miniupnpc REQUIRED)
find_path(MINIUPNPC_INCLUDE_DIR miniupnpc/miniupnpc.h REQUIRED)
find_library(NATPMP_LIBRARY natpmp REQUIRED)
find_path(NATPMP_INCLUDE_DIR natpmp.h REQUIRED)
add_library(ravu_port_map STATIC
  net/router_calls.h net/router_calls.cpp
  net/port_mapper.h net/port_mapper.cpp
)
target_include_directories(ravu_port_map PUBLIC ${CMAKE_SOURCE_DIR} PRIVATE ${MINIUPNPC_INCLUDE_DIR} ${NATPMP_INCLUDE_DIR})
target_link_libraries(ravu_port_map PUBLIC Qt6::Core ravu_net_model PRIVATE ${MINIUPNPC_LIBRARY} ${NATPMP_LIBRARY})
