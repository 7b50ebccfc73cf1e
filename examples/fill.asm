; A light bouncing across PORTB of a PIC16F877A (20 MHz crystal), written out as
; 1,500 steps of straight-line code so that it fills most of program memory: about
; 7,500 of the 7,936 words above the bootloader, which owns words 0x0000-0x00FF.
; Assembled with: gpasm -a inhx32 -o fill.hex fill.asm
        list    p=16f877a
        #include <p16f877a.inc>
        radix   dec
        errorlevel -302, -306   ; banksel sets the banks; steps cross pages on purpose

        __CONFIG _HS_OSC & _WDT_OFF & _PWRTE_ON & _BODEN_ON & _LVP_OFF & _CP_OFF
        __IDLOCS 0x0201         ; version 2.1 of this program

count1  equ     0x20            ; delay counters
count2  equ     0x21

        org     0x0100
start:  clrf    PCLATH
        banksel TRISB
        clrf    TRISB           ; PORTB drives the LEDs
        banksel PORTB
        goto    show

; About 40 ms at 20 MHz.
pause:  clrf    count2
outer:  clrf    count1
inner:  decfsz  count1, F
        goto    inner
        decfsz  count2, F
        goto    outer
        return

; Each step lights one LED, then calls the pause in page 0.
show:
        variable block = 0, step, led
        while block < 6         ; gpasm ends a while after 256 rounds: 6 x 250 steps
step = 0
        while step < 250
led = (block * 250 + step) % 14
        if led > 7
led = 14 - led
        endif
        movlw   1 << led
        movwf   PORTB
        pagesel pause
        call    pause
step += 1
        endw
block += 1
        endw
        pagesel show
        goto    show
        end
