; The staircase of a curve: X stitches cast off over m two-row steps along
; the quarter ellipse E(i) = X sqrt(1 - ((m - i) / m)^2), so that the
; stitches cast off at a shaping never grow and C(i), the stitches off
; after step i, stays as close to E(i) as such a staircase can: the
; smallest delta (in sixteenths of a stitch, below 2) for which one exists
; with |C(i) - E(i)| <= delta at every step, found by halving.
;
; For one delta, the band of step i is L(i) = ceil(E(i) - delta) to
; U(i) = floor(E(i) + delta), worked exactly: with
; W(i) = 256 X^2 i (2m - i) = (16 m E(i))^2 and r = isqrt(W),
; U = floor((r + p m) / 16 m) and L = ceil((r + [W not square] - p m) / 16 m)
; for delta = p / 16.
;
; The steep part, steps 1 to P where the ellipse can still rise by a stitch
; or more in a step, is searched completely: for each state of the band,
; the largest last shaping that reaches it (a larger last shaping leaves
; more room), with the way back kept in two bits a state. After it every
; step rises by less than a stitch, so single stitches (or none) do, and
; the bands are followed by trackers that move their edges with squares
; instead of square roots. The listing chosen in that gentle part is the
; nearest: floor(E + 1/2) as far as the band and the end allow.

        .include "defs.inc"
        .include "macros.inc"

        .globl stair

        .sect .text.stair,"ax"

; ------------------------------------------------------------ the search
; ST_X stitches (1-9999) over ST_M steps (1-4999): the schedule lines and
; the plain rows (2 per empty step at the top, and SH_P) as results. C set
; when no staircase within two stitches exists or the steep part is too
; long to trace back (its listing would not fit anyway).
stair:
        lacc16  ST_X                    ; the curve's constants
        jsr     square
        sacc    ST_XX
        lacc16  ST_M
        jsr     square
        sacc    ST_MM
        lacc16  ST_M
        ldab    #16
        jsr     mul_b
        sacc    ST_M16
        lacc    ST_XX
        ldi32   OPR, 512
        jsr     mul32
        mov64   ST_G2, ACC64
        lacc    ST_MM
        ldi32   OPR, 512
        jsr     mul32
        mov64   ST_M512, ACC64
        jsr     steep_part
        ldx     ST_PL
        cpx     #BPMAX+1
        bcc     9f
        ldaa    #16                     ; within one stitch?
        jsr     stair_try
        bcs     1f
        clr     ST_LO
        ldaa    #16
        bra     2f
1:      ldaa    #31                     ; within two?
        jsr     stair_try
        bcs     9f
        ldaa    #17
        staa    ST_LO
        ldaa    #31
2:      staa    ST_HI
3:      ldaa    ST_LO                   ; the smallest delta that works
        cmpa    ST_HI
        bcc     5f
        adda    ST_HI
        lsra
        staa    ST_MID
        jsr     stair_try
        ldaa    ST_MID
        bcs     4f
        staa    ST_HI
        bra     3b
4:      inca
        staa    ST_LO
        bra     3b
5:      ldaa    ST_HI
        jsr     stair_try
        bcs     9f
        jmp     stair_build
9:      sec
        rts

; P: the first k with X^2 (m - k)^2 < m^2 k (2m - k), where the slope of the
; ellipse, X (m - k) / (m sqrt(k (2m - k))), falls below a stitch a step;
; every step after it rises by less than one. Halving over 1 to m.
steep_part:
        ldi16   ST_U1, 1
        mov16   ST_U2, ST_M
1:      ldx     ST_U1
        cpx     ST_U2
        bcc     3f
        add16   ST_T, ST_U1, ST_U2      ; k = (lo + hi) / 2
        ldaa    ST_T
        lsra
        staa    ST_T
        ldaa    ST_T+1
        rora
        staa    ST_T+1
        sub16   ST_S, ST_M, ST_T        ; X^2 (m - k)^2
        lacc16  ST_S
        lopr16  ST_X
        jsr     mul32
        jsr     square
        mov64   ST_W, ACC64
        add16   ST_S, ST_S, ST_M        ; m^2 k (2m - k)
        lacc16  ST_S
        lopr16  ST_T
        jsr     mul32
        lopr    ST_MM
        jsr     mul32
        mov64   OPR64, ACC64
        mov64   ACC64, ST_W
        jsr     cmp64
        bcc     2f
        mov16   ST_U2, ST_T             ; holds: P <= k
        bra     1b
2:      ldx     ST_T
        inx
        stx     ST_U1
        bra     1b
3:      mov16   ST_PL, ST_U1
        rts

; A = p: is there a staircase within p / 16 of a stitch? C set when not;
; else ST_END is the state to end the steep part in.
stair_try:
        staa    ST_DP
        lacc16  ST_M
        ldab    ST_DP
        jsr     mul_b
        sacc    ST_PM
        ldi16   ST_LP, 0                ; step 0: at 0, no shaping yet
        ldaa    #1
        staa    ST_NP
        ldi16   ST_AP, 0xFFFF
        ldi16   ST_I, 0
1:      ldx     ST_I
        inx
        stx     ST_I
        jsr     band_at
        bcs     9f
        jsr     dp_step
        bcs     9f
        ldx     ST_I
        cpx     ST_PL
        bne     1b
        ldi16   ST_NEED, 0
        ldx     ST_PL
        cpx     ST_M
        beq     2f
        clr     ST_EMIT
        jsr     tail_check
        bcs     9f
2:      jmp     choose_end
9:      rts

; ------------------------------------------------------------ bands
; The band of step ST_I: ST_LC to ST_UC (ST_NC states, at most 4), the
; uncapped upper edge ST_TUV and the nearest floor(E + 1/2) ST_RV; ST_W is
; W(i). The last step's band is X alone. C set when the band is empty.
band_at:
        ldx     ST_I
        cpx     ST_M
        bne     1f
        mov16   ST_LC, ST_X
        mov16   ST_UC, ST_X
        mov16   ST_TUV, ST_X
        mov16   ST_RV, ST_X
        ldaa    #1
        staa    ST_NC
        clc
        rts
1:      add16   ST_U1, ST_M, ST_M       ; W = 256 X^2 i (2m - i)
        sub16   ST_U1, ST_U1, ST_I
        lacc16  ST_U1
        lopr16  ST_I
        jsr     mul32
        lopr    ST_XX
        jsr     mul32
        jsr     shl8
        mov64   ST_W, ACC64
        jsr     isqrt64                 ; r
        mov32   T1, ACC
        jsr     square                   ; exact when r^2 = W
        mov64   OPR64, ST_W
        jsr     cmp64
        bne     2f
        ldaa    #1
        bra     3f
2:      clra
3:      staa    ST_EX
        lacc    T1                      ; U = (r + p m) / 16 m
        lopr    ST_PM
        jsr     add32
        lopr    ST_M16
        jsr     div32
        sacc16  ST_TUV
        ldx     ST_TUV
        cpx     ST_X
        bls     4f
        ldx     ST_X
4:      stx     ST_UC
        lacc16  ST_M                    ; R = (r + 8 m) / 16 m
        ldab    #8
        jsr     mul_b
        lopr    T1
        jsr     add32
        lopr    ST_M16
        jsr     div32
        sacc16  ST_RV
        lacc    T1                      ; L = ceil((r + inexact - p m) / 16 m)
        tst     ST_EX
        bne     5f
        jsr     acc_inc
5:      lopr    ST_PM
        jsr     sub32
        bcs     6f
        tst32   ACC
        beq     6f
        lopr    ST_M16
        jsr     add32
        jsr     acc_dec
        lopr    ST_M16
        jsr     div32
        sacc16  ST_LC
        bra     7f
6:      ldi16   ST_LC, 0
7:      sub16   ST_U1, ST_UC, ST_LC     ; 1 to 4 states
        bcc     8f
        ldaa    ST_U1
        bne     8f
        ldaa    ST_U1+1
        cmpa    #4
        bcc     8f
        inca
        staa    ST_NC
        clc
        rts
8:      sec
        rts

; ACC64 <<= 8.
shl8:   ldx     #ACC64
        .irp    n, 0, 1, 2, 3, 4, 5, 6
        ldaa    \n+1,x
        staa    \n,x
        .endr
        clr     7,x
        rts

; ------------------------------------------------------------ steep part
; One step of the search: for each state c' of this band (ST_LC + j), the
; largest last shaping of a staircase that reaches it within the bands, and
; which state of the step before it comes from. A state reached by no
; shaping yet carries 0xFFFF, one not reached 0. From state c of the step
; before: no shaping keeps its largest; a shaping s = c' - c of at least 1
; needs s no larger than c's largest. The lowest such c gives the largest s.
; C set when no state is reached.
dp_step:
        sub16   ST_DL, ST_LC, ST_LP     ; c' - c = DL + j - k
        clr     ST_BPB
        clr     ST_J
1:      ldi16   ST_BEST, 0
        clr     ST_PRED
        ldaa    ST_DL+1                 ; t = DL + j
        adda    ST_J
        staa    ST_U2+1
        ldaa    ST_DL
        adca    #0
        staa    ST_U2
        bne     3f                      ; no shaping: from c = c' (k = t)
        ldaa    ST_U2+1
        cmpa    ST_NP
        bcc     3f
        staa    ST_PRED
        asla
        xindex  ST_AP
        ldaa    0,x
        ldab    1,x
        staa    ST_BEST
        stab    ST_BEST+1
3:      clr     ST_K                    ; shaping s = t - k from c = LP + k
        clr     ST_K16
4:      ldaa    ST_K
        cmpa    ST_NP
        bcc     8f
        staa    ST_K16+1
        asla
        xindex  ST_AP
        ldaa    0,x
        ldab    1,x
        staa    ST_AV
        stab    ST_AV+1
        tsta
        bne     5f
        tstb
        beq     7f                      ; c not reached
5:      sub16   ST_S, ST_U2, ST_K16
        bcc     7f                      ; c above c'
        ldx     ST_S
        beq     7f                      ; no shaping: done above
        sub16   ST_T, ST_AV, ST_S
        bcc     7f                      ; larger than c's largest
        sub16   ST_T, ST_BEST, ST_S     ; the largest for this c'
        bcs     8f
        mov16   ST_BEST, ST_S
        ldaa    ST_K
        staa    ST_PRED
        bra     8f
7:      inc     ST_K
        bra     4b
8:      ldaa    ST_J                    ; keep it and the way back
        asla
        xindex  ST_AC
        ldaa    ST_BEST
        staa    0,x
        ldaa    ST_BEST+1
        staa    1,x
        ldab    ST_PRED
        ldaa    ST_J
9:      tsta
        beq     10f
        aslb
        aslb
        deca
        bra     9b
10:     orab    ST_BPB
        stab    ST_BPB
        inc     ST_J
        ldaa    ST_J
        cmpa    ST_NC
        bcs     1b
        ldaa    ST_I+1                  ; the way back of step i
        deca
        xindex  ST_BP
        ldaa    ST_BPB
        staa    0,x
        mov64   ST_AP, ST_AC            ; this step becomes the one before
        mov16   ST_LP, ST_LC
        ldaa    ST_NC
        staa    ST_NP
        ldx     #ST_AP                  ; any state reached?
        ldab    ST_NP
11:     ldaa    0,x
        bne     12f
        ldaa    1,x
        bne     12f
        inx
        inx
        decb
        bne     11b
        sec
        rts
12:     clc
        rts

; Of the states the steep part ends in, the one nearest floor(E + 1/2)
; among those reached that the gentle part can start from (ST_NEED and
; up). C set when there is none.
choose_end:
        ldi16   ST_BEST, 0xFFFF         ; the distance so far
        ldaa    #0xFF
        staa    ST_END
        clr     ST_J
1:      ldaa    ST_J
        cmpa    ST_NP
        bcc     5f
        asla
        xindex  ST_AP
        ldaa    0,x
        bne     2f
        ldaa    1,x
        beq     4f
2:      ldaa    ST_LP+1                 ; c = LP + j
        adda    ST_J
        staa    ST_U1+1
        ldaa    ST_LP
        adca    #0
        staa    ST_U1
        ldx     ST_U1
        cpx     ST_NEED
        bcs     4f
        sub16   ST_U2, ST_U1, ST_RV     ; |c - R|
        bcs     3f
        sub16   ST_U2, ST_RV, ST_U1
3:      ldx     ST_U2
        cpx     ST_BEST
        bcc     4f
        stx     ST_BEST
        ldaa    ST_J
        staa    ST_END
4:      inc     ST_J
        bra     1b
5:      ldaa    ST_END
        cmpa    #0xFF
        beq     6f
        clc
        rts
6:      sec
        rts

        .sect .text.stair2,"ax"

; ------------------------------------------------------------ gentle part
; The trackers follow an edge of the band from step to step: a value u,
; V = (16 u + c)^2 m^2 and Z = V's increase when u grows (c is the edge's
; offset: + p for the lower edge, - p for the upper, - 8 for the nearest).
; u grows while V < W (or V = W where byte 18 says so).
        .equ TRK_V, 2
        .equ TRK_Z, 10
        .equ TRK_EQ, 18

; After band_at(P): W's next increase and the three trackers.
tail_init:
        sub16   ST_U1, ST_M, ST_PL      ; DW = 256 X^2 (2m - 2P - 1)
        add16   ST_U1, ST_U1, ST_U1
        ldx     ST_U1
        dex
        stx     ST_U1
        lacc16  ST_U1
        lopr    ST_XX
        jsr     mul32
        jsr     shl8
        mov64   ST_DW, ACC64
        mov16   ST_TL, ST_LC            ; lower edge: L, c = + p
        clr     ST_TL+TRK_EQ
        lacc16  ST_TL
        jsr     times16
        ldab    ST_DP
        jsr     opr_b
        jsr     add32
        ldx     #ST_TL
        bsr     trk_init
        ldx     ST_TUV                  ; upper edge: U + 1, c = - p
        inx
        stx     ST_TU
        ldaa    #1
        staa    ST_TU+TRK_EQ
        lacc16  ST_TU
        jsr     times16
        ldab    ST_DP
        jsr     opr_b
        jsr     sub32
        ldx     #ST_TU
        bsr     trk_init
        ldx     ST_RV                   ; nearest: R + 1, c = - 8
        inx
        stx     ST_TR
        ldaa    #1
        staa    ST_TR+TRK_EQ
        lacc16  ST_TR
        jsr     times16
        ldab    #8
        jsr     opr_b
        jsr     sub32
        ldx     #ST_TR
        ; fall through

; X = a tracker, ACC = y = 16 u + c: V = (y m)^2, Z = 32 (y + 8) m^2.
trk_init:
        pshx
        mov32   T2, ACC
        lopr16  ST_M
        jsr     mul32
        jsr     square
        pulx
        pshx
        inx
        inx
        bsr     st_acc64
        lacc    T2
        ldab    #8
        jsr     opr_b
        jsr     add32
        ldab    #32
        jsr     mul_b
        lopr    ST_MM
        jsr     mul32
        pulx
        ldaa    #TRK_Z
        jsr     x_plus_a
        ; fall through

; The eight bytes at X = ACC64. Keeps X.
st_acc64:
        .irp    n, 0, 1, 2, 3, 4, 5, 6, 7
        ldaa    ACC64+\n
        staa    \n,x
        .endr
        rts

; ACC *= 16.
times16:
        ldab    #16
        jmp     mul_b

; The next step of the gentle part: W and its increase, the edges.
tail_step:
        clc                             ; W += DW
        .irp    n, 7, 6, 5, 4, 3, 2, 1, 0
        ldaa    ST_W+\n
        adca    ST_DW+\n
        staa    ST_W+\n
        .endr
        sec                             ; DW -= 512 X^2
        .irp    n, 7, 6, 5, 4, 3, 2, 1, 0
        ldaa    ST_G2+\n
        eora    #0xFF
        adca    ST_DW+\n
        staa    ST_DW+\n
        .endr
        ldx     #ST_TL
        bsr     trk_adv
        ldx     #ST_TU
        bsr     trk_adv
        tst     ST_EMIT
        beq     1f
        ldx     #ST_TR
        bsr     trk_adv
1:      rts

; X = a tracker: u grows while its V is below W (or equal, with TRK_EQ).
trk_adv:
1:      .irp    n, 0, 1, 2, 3, 4, 5, 6, 7
        ldaa    TRK_V+\n,x
        cmpa    ST_W+\n
        bne     2f
        .endr
        tst     TRK_EQ,x                ; V = W
        bne     3f
        rts
2:      bcs     3f                      ; V < W
        rts
3:      ldaa    1,x                     ; u + 1
        adda    #1
        staa    1,x
        ldaa    0,x
        adca    #0
        staa    0,x
        clc                             ; V += Z
        .irp    n, 7, 6, 5, 4, 3, 2, 1, 0
        ldaa    TRK_V+\n,x
        adca    TRK_Z+\n,x
        staa    TRK_V+\n,x
        .endr
        clc                             ; Z += 512 m^2
        .irp    n, 7, 6, 5, 4, 3, 2, 1, 0
        ldaa    TRK_Z+\n,x
        adca    ST_M512+\n
        staa    TRK_Z+\n,x
        .endr
        bra     1b

; The lower and upper edge of step ST_I in the gentle part (X alone at the
; last step).
tail_band:
        ldx     ST_I
        cpx     ST_M
        bne     1f
        mov16   ST_LC, ST_X
        mov16   ST_UC, ST_X
        rts
1:      mov16   ST_LC, ST_TL
        ldx     ST_TU
        dex
        cpx     ST_X
        bls     2f
        ldx     ST_X
2:      stx     ST_UC
        rts

; Steps P + 1 to m: every band holds a state, and ST_NEED is the lowest
; state at P from which every lower edge can still be reached, rising a
; stitch a step at most. C set when a band is empty.
tail_check:
        jsr     tail_init
        mov16   ST_I, ST_PL
1:      ldx     ST_I
        inx
        stx     ST_I
        bsr     tail_step
        bsr     tail_band
        ldx     ST_LC
        cpx     ST_UC
        bhi     3f
        add16   ST_U1, ST_LC, ST_PL     ; need >= L + P - i
        sub16   ST_U1, ST_U1, ST_I
        bcc     2f
        ldx     ST_U1
        cpx     ST_NEED
        bls     2f
        stx     ST_NEED
2:      ldx     ST_I
        cpx     ST_M
        bne     1b
        clc
        rts
3:      sec
        rts

; ------------------------------------------------------------ the listing
; After stair_try found ST_END: trace the steep part back (each step's byte
; then holds its state), then list the steps from the start, the gentle
; part as near floor(E + 1/2) as the bands and the end allow.
stair_build:
        ldaa    ST_END
        staa    ST_K
        mov16   ST_I, ST_PL
1:      ldaa    ST_I+1                  ; step i's byte
        deca
        xindex  ST_BP
        ldab    0,x
        ldaa    ST_K                    ; the state before: bits 2k of it
2:      tsta
        beq     3f
        lsrb
        lsrb
        deca
        bra     2b
3:      andb    #3
        ldaa    ST_K
        staa    0,x
        stab    ST_K
        ldx     ST_I
        dex
        stx     ST_I
        bne     1b
        ldi16   ST_RN, 0                ; the listing
        ldi16   ST_Z, 0
        ldi16   ST_C, 0
4:      ldx     ST_I                    ; the steep part: C = L + state
        inx
        stx     ST_I
        jsr     band_at
        ldaa    ST_I+1
        deca
        xindex  ST_BP
        ldaa    0,x
        adda    ST_LC+1
        staa    ST_U1+1
        ldaa    ST_LC
        adca    #0
        staa    ST_U1
        bsr     step_to
        ldx     ST_I
        cpx     ST_PL
        bne     4b
        ldx     ST_PL
        cpx     ST_M
        beq     5f
        bsr     tail_list
5:      jsr     flush
        lacc16  ST_Z                    ; plain: two rows an empty step at
        jsr     accopr                  ; the top, and the odd row
        jsr     add32
        lopr    SH_P
        jsr     add32
        tst32   ACC
        beq     6f
        ldaa    #K_PLAINR
        jsr     res_add
6:      clc
        rts

; The staircase moves to ST_U1 at this step.
step_to:
        sub16   ST_T, ST_U1, ST_C
        mov16   ST_C, ST_U1
        ; fall through

; A step casting off ST_T stitches (0: an empty step). Equal shapings the
; same number of steps apart make one line.
event:  ldx     ST_T
        bne     1f
        ldx     ST_Z
        inx
        stx     ST_Z
        rts
1:      ldx     ST_Z                    ; steps apart
        inx
        stx     ST_U2
        ldi16   ST_Z, 0
        ldx     ST_RN
        beq     2f
        ldx     ST_RA
        cpx     ST_T
        bne     2f
        ldx     ST_RG
        cpx     ST_U2
        bne     2f
        ldx     ST_RN
        inx
        stx     ST_RN
        rts
2:      bsr     flush
        mov16   ST_RA, ST_T
        mov16   ST_RG, ST_U2
        ldi16   ST_RN, 1
        rts

; The line gathered, as "-amount/rows/times".
flush:  ldx     ST_RN
        beq     1f
        lacc16  ST_RA
        ldaa    #K_SCHM
        jsr     res_add
        lacc16  ST_RG
        jsr     accopr
        jsr     add32
        ldaa    #K_SCHR
        jsr     res_add
        lacc16  ST_RN
        ldaa    #K_SCHN
        jsr     res_add
1:      rts

; The gentle part: C' = floor(E + 1/2) kept between max(C, L, X - (m - i))
; and min(C + 1, U).
tail_list:
        ldaa    #1
        staa    ST_EMIT
        jsr     tail_init
1:      ldx     ST_I
        inx
        stx     ST_I
        jsr     tail_step
        jsr     tail_band
        ldx     ST_I
        cpx     ST_M
        bne     2f
        mov16   ST_U1, ST_X             ; the last step: to X
        bra     8f
2:      mov16   ST_U1, ST_C             ; lo
        ldx     ST_LC
        cpx     ST_U1
        bls     3f
        stx     ST_U1
3:      sub16   ST_U2, ST_M, ST_I
        sub16   ST_U2, ST_X, ST_U2
        bcc     4f
        ldx     ST_U2
        cpx     ST_U1
        bls     4f
        stx     ST_U1
4:      ldx     ST_C                    ; hi
        inx
        cpx     ST_UC
        bls     5f
        ldx     ST_UC
5:      stx     ST_U2
        ldx     ST_TR                   ; the nearest, kept in [lo, hi]
        dex
        cpx     ST_U1
        bcc     6f
        ldx     ST_U1
6:      cpx     ST_U2
        bls     7f
        ldx     ST_U2
7:      stx     ST_U1
8:      jsr     step_to
        ldx     ST_I
        cpx     ST_M
        bne     1b
        clr     ST_EMIT
        rts
