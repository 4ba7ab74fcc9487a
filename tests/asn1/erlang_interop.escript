#!/usr/bin/env escript
%% Cross-checks aligned PER against Erlang/OTP's independent X.691 codec.
%% usage: erlang_interop.escript WORKDIR CASES
%% WORKDIR holds <Module>.asn files; CASES has one "Module Type HEX" per line.
%% For each case prints "ok HEX" (Erlang's decode re-encoded) or "error ...";
%% then one "example NAME HEX" per fixed value Erlang encodes itself.
-mode(compile).

main([Dir, Cases]) ->
    ok = file:set_cwd(Dir),
    code:add_patha(Dir),
    lists:foreach(fun compile/1, ["LgcpSubset", "MonSubset", "Interop"]),
    {ok, Bin} = file:read_file(Cases),
    Lines = binary:split(Bin, <<"\n">>, [global, trim_all]),
    lists:foreach(fun check/1, Lines),
    examples(),
    halt(0).

compile(M) ->
    case asn1ct:compile(M ++ ".asn", [per, {outdir, "."}, noobj]) of
        ok -> ok;
        Err -> io:format("error compile ~s ~p~n", [M, Err]), halt(1)
    end,
    {ok, Mod} = compile:file(M ++ ".erl", [{outdir, "."}]),
    {module, Mod} = code:load_file(Mod).

check(Line) ->
    [M, T, H] = binary:split(Line, <<" ">>, [global]),
    Mod = binary_to_atom(M, latin1),
    Type = binary_to_atom(T, latin1),
    Bytes = binary:decode_hex(H),
    Out = try Mod:decode(Type, Bytes) of
              {ok, Value} -> reencode(Mod, Type, Value);
              {ok, Value, _Rest} -> reencode(Mod, Type, Value);
              Other -> io_lib:format("error decode ~0p", [Other])
          catch C:R -> io_lib:format("error decode ~0p:~0p", [C, R])
          end,
    io:format("~s~n", [Out]).

reencode(Mod, Type, Value) ->
    case Mod:encode(Type, Value) of
        {ok, Enc} -> ["ok ", binary:encode_hex(iolist_to_binary(Enc))];
        Other -> io_lib:format("error encode ~0P", [Other, 8])
    end.

examples() ->
    Ex = [{success_response, 'LgcpSubset', 'Message',
           {'Message', 5, 3, {response, {success, 'NULL'}}}},
          {ping_command, 'LgcpSubset', 'Message',
           {'Message', asn1_NOVALUE, asn1_NOVALUE, {command, {ping, 'NULL'}}}},
          {create_trunk, 'LgcpSubset', 'Message',
           {'Message', 7, 10, {command, {create, {trunk, {'TrunkParams', 0, 5}}}}}},
          {mon_ping, 'MonSubset', 'Message', {'Message', {command, {ping, 'NULL'}}}}],
    lists:foreach(fun({Name, Mod, Type, Value}) ->
                          {ok, Enc} = Mod:encode(Type, Value),
                          io:format("example ~s ~s~n",
                                    [Name, binary:encode_hex(iolist_to_binary(Enc))])
                  end, Ex).
