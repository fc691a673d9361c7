# Qt sockets: the packet connection, the game sockets, the host list fetch.
add_library(ravu_net STATIC
  net/packet_socket.h net/packet_socket.cpp
  net/game_socket.h net/game_socket.cpp
  net/list_socket.h net/list_socket.cpp
  net/guest_handshake.h net/guest_handshake.cpp
  net/headless_copy.h net/headless_copy.cpp
)
target_include_directories(ravu_net PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ravu_net PUBLIC Qt6::Core Qt6::Network ravu_net_model ravu_text)
